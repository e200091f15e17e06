#include "platform/sqlite/tsql_parser.h"

#include <algorithm>
#include <array>

#include "platform/sqlite/tsql_lexer.h"

namespace zelmora::tsql {
namespace {

// Words that cannot be an alias or a column without quotes: the server's
// reserved keywords that can meet a parser here.
constexpr std::array kReserved = {
    "ADD",      "ALL",       "ALTER",   "AND",       "ANY",        "AS",       "ASC",     "BEGIN",    "BETWEEN",
    "BREAK",    "BY",        "CASE",    "CHECK",     "CLOSE",      "COLLATE",  "COLUMN",  "COMMIT",   "CONSTRAINT",
    "CONTINUE", "CONVERT",   "CREATE",  "CROSS",     "CURRENT",    "CURSOR",   "DECLARE", "DEFAULT",  "DELETE",
    "DESC",     "DISTINCT",  "DROP",    "ELSE",      "END",        "ESCAPE",   "EXCEPT",  "EXEC",     "EXECUTE",
    "EXISTS",   "FETCH",     "FOR",     "FOREIGN",   "FROM",       "FULL",     "FUNCTION", "GOTO",    "GRANT",
    "GROUP",    "HAVING",    "IDENTITY", "IF",       "IN",         "INDEX",    "INNER",   "INSERT",   "INTERSECT",
    "INTO",     "IS",        "JOIN",    "KEY",       "LEFT",       "LIKE",     "MERGE",   "NOT",      "NULL",
    "OF",       "OFF",       "ON",      "OPEN",      "OPTION",     "OR",       "ORDER",   "OUTER",    "OVER",
    "PERCENT",  "PIVOT",     "PRIMARY", "PRINT",     "PROCEDURE",  "RETURN",   "RIGHT",   "ROLLBACK", "SELECT",
    "SET",      "TABLE",     "THEN",    "TO",        "TOP",        "TRAN",     "TRANSACTION", "TRUNCATE", "UNION",
    "UNIQUE",   "UPDATE",    "USE",     "VALUES",    "VIEW",       "WHEN",     "WHERE",   "WHILE",    "WITH",
};

// Table hints that only steer locking or access paths: they change no result.
constexpr std::array kHarmlessHints = {
    "NOLOCK",   "READUNCOMMITTED", "READCOMMITTED", "READCOMMITTEDLOCK", "READPAST", "REPEATABLEREAD",
    "SERIALIZABLE", "HOLDLOCK",    "ROWLOCK",       "PAGLOCK",           "TABLOCK",  "TABLOCKX",
    "UPDLOCK",  "XLOCK",           "NOWAIT",        "NOEXPAND",          "FORCESEEK", "FORCESCAN",
};

template <size_t N>
bool InList(const Token& t, const std::array<const char*, N>& list) {
  return std::any_of(list.begin(), list.end(), [&](const char* word) { return t.Is(word); });
}

bool IsReserved(const Token& t) { return InList(t, kReserved); }

std::string UpperText(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  }
  return text;
}

class Parser {
 public:
  explicit Parser(std::string_view batch) : tokens_(Tokenize(batch)) {}

  std::vector<StatementPtr> Batch() {
    std::vector<StatementPtr> statements;
    while (true) {
      while (Peek().IsSymbol(";")) Next();
      if (Peek().kind == TokenKind::End) break;
      statements.push_back(Statement());
    }
    return statements;
  }

 private:
  // --- tokens ---------------------------------------------------------------
  const Token& Peek(size_t ahead = 0) const {
    return tokens_[std::min(pos_ + ahead, tokens_.size() - 1)];
  }
  const Token& Next() {
    const Token& t = Peek();
    if (pos_ < tokens_.size() - 1) ++pos_;
    return t;
  }
  bool Accept(std::string_view keyword) {
    if (!Peek().Is(keyword)) return false;
    Next();
    return true;
  }
  bool AcceptSymbol(std::string_view symbol) {
    if (!Peek().IsSymbol(symbol)) return false;
    Next();
    return true;
  }
  void Expect(std::string_view keyword) {
    if (!Accept(keyword)) Fail();
  }
  void ExpectSymbol(std::string_view symbol) {
    if (!AcceptSymbol(symbol)) Fail();
  }
  [[noreturn]] void Fail() const {
    const Token& t = Peek();
    std::string near;
    if (t.kind == TokenKind::End) {
      near = pos_ > 0 ? tokens_[pos_ - 1].text : "";
    } else if (t.kind == TokenKind::String || t.kind == TokenKind::UnicodeString) {
      near = t.text;
    } else {
      near = t.text;
    }
    throw Error(102, "Incorrect syntax near '" + near + "'.");
  }
  // An identifier that can stand for a name here (not a reserved word).
  bool PeekName(size_t ahead = 0) const {
    const Token& t = Peek(ahead);
    return t.kind == TokenKind::QuotedIdentifier || (t.kind == TokenKind::Identifier && !IsReserved(t));
  }
  std::string NamePart() {
    if (!PeekName()) {
      if (Peek().kind == TokenKind::Variable) throw Untranslatable("variable " + Peek().text);
      Fail();
    }
    return Next().text;
  }
  // a, a.b, a.b.c, a..c (an empty part between two dots)
  Name MultiPartName() {
    Name name;
    name.push_back(NamePart());
    while (Peek().IsSymbol(".") && !Peek(1).IsSymbol("*")) {
      Next();
      if (Peek().IsSymbol(".")) {
        name.emplace_back();
        continue;
      }
      name.push_back(NamePart());
    }
    return name;
  }
  std::string Alias() {
    if (Accept("AS")) {
      if (Peek().kind == TokenKind::String) return Next().text;
      return NamePart();
    }
    if (PeekName()) return Next().text;
    return {};
  }

  // --- statements -------------------------------------------------------------
  StatementPtr Statement() {
    const Token& t = Peek();
    StatementPtr s;
    if (t.Is("SELECT") || t.IsSymbol("(")) {
      s = std::make_unique<tsql::Statement>();
      s->kind = Statement::Kind::Select;
      s->offset = t.offset;
      s->query = QueryExpression();
    } else if (t.Is("INSERT")) {
      s = Insert();
    } else if (t.Is("UPDATE")) {
      s = Update();
    } else if (t.Is("DELETE")) {
      s = Delete();
    } else if (t.Is("IF")) {
      s = If();
    } else if (t.Is("BEGIN")) {
      s = Block();
    } else if (t.Is("DROP")) {
      s = Drop();
    } else if (t.Is("CREATE")) {
      s = Create();
    } else if (t.Is("WITH")) {
      throw Untranslatable("common table expression (WITH ... AS)");
    } else if (t.kind == TokenKind::Identifier &&
               (t.Is("DECLARE") || t.Is("SET") || t.Is("EXEC") || t.Is("EXECUTE") || t.Is("PRINT") ||
                t.Is("TRUNCATE") || t.Is("MERGE") || t.Is("WHILE") || t.Is("RETURN") || t.Is("ALTER") ||
                t.Is("USE") || t.Is("GOTO") || t.Is("COMMIT") || t.Is("ROLLBACK") || t.Is("OPEN") ||
                t.Is("FETCH") || t.Is("CLOSE") || t.Is("GO") || t.Is("RAISERROR") || t.Is("THROW"))) {
      throw Untranslatable(UpperText(t.text) + " statement");
    } else {
      Fail();
    }
    return s;
  }

  StatementPtr Insert() {
    auto s = std::make_unique<tsql::Statement>();
    s->kind = Statement::Kind::Insert;
    s->offset = Next().offset;
    Accept("INTO");
    s->target = MultiPartName();
    if (Peek().IsSymbol("(") && !Peek(1).Is("SELECT")) {
      Next();
      do {
        s->columns.push_back(NamePart());
      } while (AcceptSymbol(","));
      ExpectSymbol(")");
    }
    if (Accept("VALUES")) {
      do {
        ExpectSymbol("(");
        std::vector<ExprPtr> row;
        do {
          row.push_back(Expression());
        } while (AcceptSymbol(","));
        ExpectSymbol(")");
        s->values.push_back(std::move(row));
      } while (AcceptSymbol(","));
    } else if (Peek().Is("SELECT") || Peek().IsSymbol("(")) {
      s->query = QueryExpression();
    } else if (Peek().Is("DEFAULT")) {
      throw Untranslatable("INSERT ... DEFAULT VALUES");
    } else if (Peek().Is("EXEC") || Peek().Is("EXECUTE")) {
      throw Untranslatable("INSERT ... EXEC");
    } else {
      Fail();
    }
    return s;
  }

  StatementPtr Update() {
    auto s = std::make_unique<tsql::Statement>();
    s->kind = Statement::Kind::Update;
    s->offset = Next().offset;
    if (Peek().Is("TOP")) throw Untranslatable("UPDATE TOP");
    s->target = MultiPartName();
    TableHints();
    Expect("SET");
    do {
      if (Peek().kind == TokenKind::Variable) throw Untranslatable("assignment to variable " + Peek().text);
      Name column = MultiPartName();
      if (!Peek().IsSymbol("=")) {
        if (Peek().kind == TokenKind::Symbol && Peek(1).IsSymbol("=")) {
          throw Untranslatable("compound assignment " + Peek().text + "=");
        }
        Fail();
      }
      Next();
      s->assignments.emplace_back(std::move(column), Expression());
    } while (AcceptSymbol(","));
    if (Accept("FROM")) s->from = FromList();
    if (Accept("WHERE")) s->where = Expression();
    return s;
  }

  StatementPtr Delete() {
    auto s = std::make_unique<tsql::Statement>();
    s->kind = Statement::Kind::Delete;
    s->offset = Next().offset;
    if (Peek().Is("TOP")) throw Untranslatable("DELETE TOP");
    Accept("FROM");
    s->target = MultiPartName();
    TableHints();
    if (Peek().Is("FROM")) throw Untranslatable("DELETE ... FROM with a join");
    if (Accept("WHERE")) s->where = Expression();
    return s;
  }

  StatementPtr If() {
    auto s = std::make_unique<tsql::Statement>();
    s->kind = Statement::Kind::If;
    s->offset = Next().offset;
    s->condition = Expression();
    s->thenBranch = Statement();
    AcceptSymbol(";");
    if (Accept("ELSE")) s->elseBranch = Statement();
    return s;
  }

  StatementPtr Block() {
    auto s = std::make_unique<tsql::Statement>();
    s->kind = Statement::Kind::Block;
    s->offset = Next().offset;
    if (Peek().Is("TRAN") || Peek().Is("TRANSACTION")) throw Untranslatable("BEGIN TRANSACTION");
    if (Peek().Is("TRY") || Peek().Is("CATCH")) throw Untranslatable("BEGIN TRY ... END CATCH");
    while (true) {
      while (AcceptSymbol(";")) {
      }
      if (Accept("END")) break;
      if (Peek().kind == TokenKind::End) Fail();
      s->body.push_back(Statement());
    }
    return s;
  }

  StatementPtr Drop() {
    auto s = std::make_unique<tsql::Statement>();
    s->kind = Statement::Kind::DropTable;
    s->offset = Next().offset;
    if (!Accept("TABLE")) throw Untranslatable("DROP " + UpperText(Peek().text));
    if (Peek().Is("IF") && Peek(1).Is("EXISTS")) {
      Next();
      Next();
      s->ifExists = true;
    }
    do {
      s->dropNames.push_back(MultiPartName());
    } while (AcceptSymbol(","));
    return s;
  }

  StatementPtr Create() {
    auto s = std::make_unique<tsql::Statement>();
    s->kind = Statement::Kind::CreateTable;
    s->offset = Next().offset;
    if (!Accept("TABLE")) throw Untranslatable("CREATE " + UpperText(Peek().text));
    s->target = MultiPartName();
    ExpectSymbol("(");
    do {
      if (Peek().Is("PRIMARY") || Peek().Is("CONSTRAINT") || Peek().Is("UNIQUE") || Peek().Is("FOREIGN") ||
          Peek().Is("CHECK")) {
        throw Untranslatable("table constraint in CREATE TABLE");
      }
      ColumnDefinition column;
      column.name = NamePart();
      column.type = Type();
      while (true) {
        if (Accept("COLLATE")) {
          NamePart();  // text columns always take the server's comparison rules
        } else if (Accept("NULL")) {
        } else if (Peek().Is("NOT") && Peek(1).Is("NULL")) {
          Next();
          Next();
          column.notNull = true;
        } else if (Accept("PRIMARY")) {
          Expect("KEY");
          column.primaryKey = true;
        } else if (Peek().Is("IDENTITY") || Peek().Is("DEFAULT") || Peek().Is("CONSTRAINT") ||
                   Peek().Is("CHECK") || Peek().Is("UNIQUE") || Peek().Is("REFERENCES")) {
          throw Untranslatable(UpperText(Peek().text) + " in a column definition");
        } else {
          break;
        }
      }
      s->definitions.push_back(std::move(column));
    } while (AcceptSymbol(","));
    ExpectSymbol(")");
    return s;
  }

  // --- queries ----------------------------------------------------------------
  std::unique_ptr<Query> QueryExpression() {
    std::unique_ptr<Query> q = QueryTerm();
    while (true) {
      SetOp op;
      if (Peek().Is("UNION")) {
        Next();
        op = Accept("ALL") ? SetOp::UnionAll : SetOp::Union;
      } else if (Accept("EXCEPT")) {
        op = SetOp::Except;
      } else if (Accept("INTERSECT")) {
        op = SetOp::Intersect;
      } else {
        break;
      }
      auto combined = std::make_unique<Query>();
      combined->offset = q->offset;
      combined->op = op;
      combined->left = std::move(q);
      combined->right = QueryTerm();
      q = std::move(combined);
    }
    if (Peek().Is("ORDER") && Peek(1).Is("BY")) {
      Next();
      Next();
      q->orderBy = OrderList();
    }
    if (Peek().Is("OPTION")) throw Untranslatable("OPTION query hint");
    if (Peek().Is("FOR")) throw Untranslatable("FOR XML / FOR BROWSE");
    return q;
  }

  std::unique_ptr<Query> QueryTerm() {
    if (Peek().IsSymbol("(")) {
      Next();
      std::unique_ptr<Query> inner = QueryExpression();
      ExpectSymbol(")");
      return inner;
    }
    auto q = std::make_unique<Query>();
    q->offset = Peek().offset;
    q->core = Core();
    return q;
  }

  std::unique_ptr<SelectCore> Core() {
    auto c = std::make_unique<SelectCore>();
    c->offset = Peek().offset;
    Expect("SELECT");
    if (Accept("DISTINCT")) {
      c->distinct = true;
    } else {
      Accept("ALL");
    }
    if (Accept("TOP")) {
      if (AcceptSymbol("(")) {
        c->top = Expression();
        ExpectSymbol(")");
      } else if (Peek().kind == TokenKind::Number) {
        c->top = Primary();
      } else {
        Fail();
      }
      if (Accept("PERCENT")) c->topPercent = true;
      if (Peek().Is("WITH") && Peek(1).Is("TIES")) {
        Next();
        Next();
        c->topWithTies = true;
      }
    }
    do {
      c->items.push_back(SelectItemParse());
    } while (AcceptSymbol(","));
    if (Accept("INTO")) c->into = MultiPartName();
    if (Accept("FROM")) c->from = FromList();
    if (Accept("WHERE")) c->where = Expression();
    if (Peek().Is("GROUP") && Peek(1).Is("BY")) {
      Next();
      Next();
      if (Peek().Is("ALL")) throw Untranslatable("GROUP BY ALL");
      do {
        c->groupBy.push_back(Expression());
      } while (AcceptSymbol(","));
      if (Peek().Is("WITH")) throw Untranslatable("GROUP BY ... WITH ROLLUP / CUBE");
    }
    if (Accept("HAVING")) c->having = Expression();
    return c;
  }

  SelectItem SelectItemParse() {
    SelectItem item;
    if (AcceptSymbol("*")) {
      item.star = true;
      return item;
    }
    // T.* and DBO.T.*
    size_t k = 0;
    while (PeekName(k) && Peek(k + 1).IsSymbol(".")) k += 2;
    if (k > 0 && Peek(k).IsSymbol("*")) {
      for (size_t i = 0; i < k; i += 2) item.starQualifier.push_back(Next().text), Next();
      Next();
      item.star = true;
      return item;
    }
    // alias = expression
    if (PeekName() && Peek(1).IsSymbol("=")) {
      item.alias = Next().text;
      Next();
      item.expr = Expression();
      return item;
    }
    item.expr = Expression();
    if (Peek().kind == TokenKind::String) {
      item.alias = Next().text;
    } else {
      item.alias = Alias();
    }
    return item;
  }

  std::vector<OrderItem> OrderList() {
    std::vector<OrderItem> items;
    do {
      OrderItem item;
      item.expr = Expression();
      if (Accept("DESC")) {
        item.descending = true;
      } else {
        Accept("ASC");
      }
      items.push_back(std::move(item));
    } while (AcceptSymbol(","));
    return items;
  }

  // --- table sources ----------------------------------------------------------
  std::vector<TableRefPtr> FromList() {
    std::vector<TableRefPtr> list;
    do {
      list.push_back(TableSource());
    } while (AcceptSymbol(","));
    return list;
  }

  TableRefPtr TableSource() {
    TableRefPtr left = TablePrimary();
    while (true) {
      JoinType type;
      bool needsOn = true;
      const size_t offset = Peek().offset;
      if (Peek().Is("JOIN") || (Peek().Is("INNER") && Peek(1).Is("JOIN"))) {
        if (Peek().Is("INNER")) Next();
        Next();
        type = JoinType::Inner;
      } else if (Peek().Is("LEFT") || Peek().Is("RIGHT") || Peek().Is("FULL")) {
        type = Peek().Is("LEFT") ? JoinType::Left : (Peek().Is("RIGHT") ? JoinType::Right : JoinType::Full);
        Next();
        Accept("OUTER");
        if (Peek().Is("HASH") || Peek().Is("MERGE") || Peek().Is("LOOP")) Next();  // join hints change no result
        Expect("JOIN");
      } else if (Peek().Is("CROSS") && Peek(1).Is("JOIN")) {
        Next();
        Next();
        type = JoinType::Cross;
        needsOn = false;
      } else if ((Peek().Is("CROSS") || Peek().Is("OUTER")) && Peek(1).Is("APPLY")) {
        type = Peek().Is("CROSS") ? JoinType::CrossApply : JoinType::OuterApply;
        Next();
        Next();
        needsOn = false;
      } else if ((Peek().Is("INNER") || Peek().Is("HASH") || Peek().Is("MERGE") || Peek().Is("LOOP")) &&
                 Peek(1).Is("JOIN")) {
        Next();
        Next();
        type = JoinType::Inner;
      } else {
        break;
      }
      auto join = std::make_unique<TableRef>();
      join->kind = TableRef::Kind::Join;
      join->offset = offset;
      join->joinType = type;
      join->left = std::move(left);
      join->right = TablePrimary();
      if (needsOn) {
        Expect("ON");
        join->on = Expression();
      }
      left = std::move(join);
    }
    return left;
  }

  void TableHints() {
    while (Peek().Is("WITH") && Peek(1).IsSymbol("(")) {
      Next();
      Next();
      do {
        HintWord();
      } while (AcceptSymbol(","));
      ExpectSymbol(")");
    }
  }

  void HintWord() {
    const Token& t = Peek();
    if (t.Is("INDEX")) {
      Next();
      if (AcceptSymbol("(")) {
        int depth = 1;
        while (depth > 0 && Peek().kind != TokenKind::End) {
          if (Peek().IsSymbol("(")) ++depth;
          if (Peek().IsSymbol(")")) --depth;
          Next();
        }
      } else {
        ExpectSymbol("=");
        Next();
      }
      return;
    }
    if (InList(t, kHarmlessHints)) {
      Next();
      return;
    }
    if (t.kind == TokenKind::Identifier) throw Untranslatable("table hint " + UpperText(t.text));
    Fail();
  }

  TableRefPtr TablePrimary() {
    auto ref = std::make_unique<TableRef>();
    ref->offset = Peek().offset;
    if (Peek().IsSymbol("(")) {
      if (Peek(1).Is("SELECT") || Peek(1).IsSymbol("(")) {
        Next();
        ref->kind = TableRef::Kind::Derived;
        ref->query = QueryExpression();
        ExpectSymbol(")");
        ref->alias = Alias();
        if (ref->alias.empty()) Fail();
        if (Peek().IsSymbol("(")) {
          Next();
          do {
            ref->columnNames.push_back(NamePart());
          } while (AcceptSymbol(","));
          ExpectSymbol(")");
        }
        return ref;
      }
      Next();
      TableRefPtr inner = TableSource();
      ExpectSymbol(")");
      inner->parenthesized = true;
      return inner;
    }
    if (Peek().kind == TokenKind::Variable) throw Untranslatable("table variable " + Peek().text);
    ref->name = MultiPartName();
    if (Peek().IsSymbol("(")) {
      // The old form of a hint, T (NOLOCK), or a table-valued function.
      if (InList(Peek(1), kHarmlessHints) && Peek(2).IsSymbol(")")) {
        Next();
        Next();
        Next();
      } else {
        Next();
        ref->kind = TableRef::Kind::Function;
        if (!Peek().IsSymbol(")")) {
          do {
            ref->args.push_back(Expression());
          } while (AcceptSymbol(","));
        }
        ExpectSymbol(")");
      }
    }
    TableHints();
    ref->alias = Alias();
    TableHints();
    if (Peek().Is("TABLESAMPLE")) throw Untranslatable("TABLESAMPLE");
    if (Peek().Is("PIVOT") || Peek().Is("UNPIVOT")) throw Untranslatable(UpperText(Peek().text));
    return ref;
  }

  // --- expressions --------------------------------------------------------------
  ExprPtr Make(ExprKind kind, size_t offset) {
    auto e = std::make_unique<Expr>();
    e->kind = kind;
    e->offset = offset;
    return e;
  }

  ExprPtr Expression() { return Or(); }

  ExprPtr Or() {
    ExprPtr left = And();
    while (Peek().Is("OR")) {
      auto e = Make(ExprKind::Or, Next().offset);
      e->args.push_back(std::move(left));
      e->args.push_back(And());
      left = std::move(e);
    }
    return left;
  }

  ExprPtr And() {
    ExprPtr left = Not();
    while (Peek().Is("AND")) {
      auto e = Make(ExprKind::And, Next().offset);
      e->args.push_back(std::move(left));
      e->args.push_back(Not());
      left = std::move(e);
    }
    return left;
  }

  ExprPtr Not() {
    if (Peek().Is("NOT")) {
      auto e = Make(ExprKind::Not, Next().offset);
      e->args.push_back(Not());
      return e;
    }
    return Predicate();
  }

  ExprPtr Predicate() {
    const size_t offset = Peek().offset;
    ExprPtr left = Additive();
    const Token& t = Peek();
    if (t.kind == TokenKind::Symbol &&
        (t.text == "=" || t.text == "<>" || t.text == "!=" || t.text == "<" || t.text == ">" || t.text == "<=" ||
         t.text == ">=" || t.text == "!<" || t.text == "!>")) {
      std::string op = Next().text;
      if (op == "!=") op = "<>";
      if (op == "!<") op = ">=";
      if (op == "!>") op = "<=";
      if (Peek().Is("ALL") || Peek().Is("ANY") || Peek().Is("SOME")) {
        throw Untranslatable("comparison with " + UpperText(Peek().text) + " (subquery)");
      }
      auto e = Make(ExprKind::Compare, offset);
      e->op = op;
      e->args.push_back(std::move(left));
      e->args.push_back(Additive());
      return e;
    }
    if (t.Is("IS")) {
      Next();
      auto e = Make(ExprKind::IsNull, offset);
      e->negated = Accept("NOT");
      Expect("NULL");
      e->args.push_back(std::move(left));
      return e;
    }
    bool negated = false;
    if (t.Is("NOT") && (Peek(1).Is("IN") || Peek(1).Is("LIKE") || Peek(1).Is("BETWEEN"))) {
      Next();
      negated = true;
    }
    if (Accept("IN")) {
      ExpectSymbol("(");
      ExprPtr e;
      if (Peek().Is("SELECT")) {
        e = Make(ExprKind::InQuery, offset);
        e->args.push_back(std::move(left));
        e->query = QueryExpression();
      } else {
        e = Make(ExprKind::InList, offset);
        e->args.push_back(std::move(left));
        do {
          e->args.push_back(Expression());
        } while (AcceptSymbol(","));
      }
      ExpectSymbol(")");
      e->negated = negated;
      return e;
    }
    if (Accept("LIKE")) {
      auto e = Make(ExprKind::Like, offset);
      e->negated = negated;
      e->args.push_back(std::move(left));
      e->args.push_back(Additive());
      if (Accept("ESCAPE")) e->args.push_back(Additive());
      return e;
    }
    if (Accept("BETWEEN")) {
      auto e = Make(ExprKind::Between, offset);
      e->negated = negated;
      e->args.push_back(std::move(left));
      e->args.push_back(Additive());
      Expect("AND");
      e->args.push_back(Additive());
      return e;
    }
    if (negated) Fail();
    return left;
  }

  ExprPtr Additive() {
    ExprPtr left = Multiplicative();
    while (true) {
      const Token& t = Peek();
      if (t.IsSymbol("&") || t.IsSymbol("|") || t.IsSymbol("^")) throw Untranslatable("bitwise operator " + t.text);
      if (!t.IsSymbol("+") && !t.IsSymbol("-")) break;
      auto e = Make(ExprKind::Binary, t.offset);
      e->op = Next().text;
      e->args.push_back(std::move(left));
      e->args.push_back(Multiplicative());
      left = std::move(e);
    }
    return left;
  }

  ExprPtr Multiplicative() {
    ExprPtr left = Unary();
    while (Peek().IsSymbol("*") || Peek().IsSymbol("/") || Peek().IsSymbol("%")) {
      auto e = Make(ExprKind::Binary, Peek().offset);
      e->op = Next().text;
      e->args.push_back(std::move(left));
      e->args.push_back(Unary());
      left = std::move(e);
    }
    return left;
  }

  ExprPtr Unary() {
    if (Peek().IsSymbol("-") || Peek().IsSymbol("+")) {
      auto e = Make(ExprKind::Unary, Peek().offset);
      e->op = Next().text;
      e->args.push_back(Unary());
      return e;
    }
    if (Peek().IsSymbol("~")) throw Untranslatable("bitwise operator ~");
    ExprPtr e = Primary();
    if (Peek().Is("COLLATE")) throw Untranslatable("COLLATE clause");
    return e;
  }

  TypeName Type() {
    TypeName type;
    type.name = NamePart();
    if (Peek().Is("PRECISION") && UpperText(type.name) == "DOUBLE") {
      Next();
      type.name = "DOUBLE PRECISION";
    }
    if (AcceptSymbol("(")) {
      if (Accept("MAX")) {
        type.first = SqlType::kMaxLength;
      } else if (Peek().kind == TokenKind::Number) {
        type.first = std::stoi(Next().text);
      } else {
        Fail();
      }
      if (AcceptSymbol(",")) {
        if (Peek().kind != TokenKind::Number) Fail();
        type.second = std::stoi(Next().text);
      }
      ExpectSymbol(")");
    }
    return type;
  }

  ExprPtr Primary() {
    const Token& t = Peek();
    const size_t offset = t.offset;
    switch (t.kind) {
      case TokenKind::Number: {
        auto e = Make(ExprKind::Literal, offset);
        const std::string text = Next().text;
        if (text.size() > 1 && (text[1] == 'x' || text[1] == 'X')) throw Untranslatable("binary literal " + text);
        e->text = text;
        if (text.find_first_of("eE") != std::string::npos) {
          e->literal = LiteralKind::Float;
        } else if (text.find('.') != std::string::npos) {
          e->literal = LiteralKind::Decimal;
        } else {
          e->literal = LiteralKind::Integer;
        }
        return e;
      }
      case TokenKind::String:
      case TokenKind::UnicodeString: {
        auto e = Make(ExprKind::Literal, offset);
        e->literal = t.kind == TokenKind::String ? LiteralKind::String : LiteralKind::UnicodeString;
        e->text = Next().text;
        return e;
      }
      case TokenKind::Variable: throw Untranslatable("variable " + t.text);
      case TokenKind::Symbol:
        if (t.IsSymbol("(")) {
          Next();
          if (Peek().Is("SELECT")) {
            auto e = Make(ExprKind::Subquery, offset);
            e->query = QueryExpression();
            ExpectSymbol(")");
            return e;
          }
          ExprPtr inner = Expression();
          ExpectSymbol(")");
          return inner;
        }
        Fail();
      case TokenKind::End: Fail();
      case TokenKind::Identifier:
      case TokenKind::QuotedIdentifier: break;
    }
    if (t.kind == TokenKind::Identifier) {
      if (t.Is("NULL")) {
        Next();
        return Make(ExprKind::Literal, offset);
      }
      if (t.Is("CASE")) return Case();
      if (t.Is("EXISTS")) {
        Next();
        auto e = Make(ExprKind::Exists, offset);
        ExpectSymbol("(");
        e->query = QueryExpression();
        ExpectSymbol(")");
        return e;
      }
      if (t.Is("CAST") && Peek(1).IsSymbol("(")) {
        Next();
        Next();
        auto e = Make(ExprKind::Cast, offset);
        e->op = "CAST";
        e->args.push_back(Expression());
        Expect("AS");
        e->castType = Type();
        ExpectSymbol(")");
        return e;
      }
      if (t.Is("CONVERT") && Peek(1).IsSymbol("(")) {
        Next();
        Next();
        auto e = Make(ExprKind::Cast, offset);
        e->op = "CONVERT";
        e->castType = Type();
        ExpectSymbol(",");
        e->args.push_back(Expression());
        if (AcceptSymbol(",")) e->args.push_back(Expression());
        ExpectSymbol(")");
        return e;
      }
      // Functions whose names are reserved words.
      if ((t.Is("LEFT") || t.Is("RIGHT")) && Peek(1).IsSymbol("(")) return Call(Name{Next().text}, offset);
      if (IsReserved(t)) Fail();
    }
    Name name = MultiPartName();
    if (Peek().IsSymbol("(")) return Call(std::move(name), offset);
    auto e = Make(ExprKind::Column, offset);
    e->names = std::move(name);
    return e;
  }

  ExprPtr Call(Name name, size_t offset) {
    if (name.size() > 1) {
      std::string full;
      for (const std::string& part : name) full += (full.empty() ? "" : ".") + part;
      throw Untranslatable("user-defined function " + full);
    }
    auto e = Make(ExprKind::Call, offset);
    e->op = UpperText(name.back());
    ExpectSymbol("(");
    if (AcceptSymbol("*")) {
      e->countStar = true;
    } else if (!Peek().IsSymbol(")")) {
      if (Accept("DISTINCT")) {
        e->distinct = true;
      } else {
        Accept("ALL");
      }
      do {
        e->args.push_back(Expression());
      } while (AcceptSymbol(","));
    }
    ExpectSymbol(")");
    if (Peek().Is("WITHIN")) throw Untranslatable("WITHIN GROUP");
    if (Accept("OVER")) {
      e->hasOver = true;
      ExpectSymbol("(");
      if (Peek().Is("PARTITION")) {
        Next();
        Expect("BY");
        do {
          e->partitionBy.push_back(Expression());
        } while (AcceptSymbol(","));
      }
      if (Peek().Is("ORDER")) {
        Next();
        Expect("BY");
        e->overOrder = OrderList();
      }
      if (Peek().Is("ROWS") || Peek().Is("RANGE")) throw Untranslatable("window frame (ROWS / RANGE)");
      ExpectSymbol(")");
    }
    return e;
  }

  ExprPtr Case() {
    auto e = Make(ExprKind::Case, Next().offset);
    if (!Peek().Is("WHEN")) e->caseOperand = Expression();
    while (Accept("WHEN")) {
      ExprPtr when = Expression();
      Expect("THEN");
      e->whens.emplace_back(std::move(when), Expression());
    }
    if (e->whens.empty()) Fail();
    if (Accept("ELSE")) e->elseExpr = Expression();
    Expect("END");
    return e;
  }

  std::vector<Token> tokens_;
  size_t pos_ = 0;
};

}  // namespace

std::vector<StatementPtr> ParseBatch(std::string_view batch) { return Parser(batch).Batch(); }

}  // namespace zelmora::tsql
