// The rewrite passes: each looks at the bound tree (the nodes, their
// sources and their server types) and records in the plan where the
// emitter is to write a cheaper form of the same rows. None of them looks
// at SQLite text, so the way a node is written can change without turning
// a rewrite off behind its back.
#include <algorithm>
#include <functional>

#include "platform/sqlite/tsql_translate_internal.h"

namespace zelmora::tsql {

namespace {

using CoreVisitor = std::function<void(const SelectCore&)>;

void VisitCores(const Query& q, const CoreVisitor& visit);
void VisitCores(const TableRef& t, const CoreVisitor& visit);

void VisitCores(const Expr& e, const CoreVisitor& visit) {
  for (const ExprPtr& a : e.args) VisitCores(*a, visit);
  if (e.query) VisitCores(*e.query, visit);
  if (e.caseOperand) VisitCores(*e.caseOperand, visit);
  for (const auto& [when, then] : e.whens) {
    VisitCores(*when, visit);
    VisitCores(*then, visit);
  }
  if (e.elseExpr) VisitCores(*e.elseExpr, visit);
  for (const ExprPtr& p : e.partitionBy) VisitCores(*p, visit);
  for (const OrderItem& o : e.overOrder) VisitCores(*o.expr, visit);
}

void VisitCores(const Query& q, const CoreVisitor& visit) {
  if (q.core) {
    const SelectCore& c = *q.core;
    visit(c);
    for (const SelectItem& item : c.items) VisitCores(*item.expr, visit);
    for (const TableRefPtr& t : c.from) VisitCores(*t, visit);
    if (c.where) VisitCores(*c.where, visit);
    for (const ExprPtr& g : c.groupBy) VisitCores(*g, visit);
    if (c.having) VisitCores(*c.having, visit);
    if (c.top) VisitCores(*c.top, visit);
  }
  if (q.left) VisitCores(*q.left, visit);
  if (q.right) VisitCores(*q.right, visit);
  for (const OrderItem& o : q.orderBy) VisitCores(*o.expr, visit);
}

void VisitCores(const TableRef& t, const CoreVisitor& visit) {
  if (t.query) VisitCores(*t.query, visit);
  for (const ExprPtr& a : t.args) VisitCores(*a, visit);
  if (t.left) VisitCores(*t.left, visit);
  if (t.right) VisitCores(*t.right, visit);
  if (t.on) VisitCores(*t.on, visit);
}

void VisitCores(const Statement& s, const CoreVisitor& visit) {
  if (s.query) VisitCores(*s.query, visit);
  for (const std::vector<ExprPtr>& row : s.values) {
    for (const ExprPtr& v : row) VisitCores(*v, visit);
  }
  for (const auto& [column, value] : s.assignments) VisitCores(*value, visit);
  for (const TableRefPtr& t : s.from) VisitCores(*t, visit);
  if (s.where) VisitCores(*s.where, visit);
}

void Conjuncts(const Expr* e, std::vector<const Expr*>& out) {
  if (!e) return;
  if (e->kind == ExprKind::And) {
    Conjuncts(e->args[0].get(), out);
    Conjuncts(e->args[1].get(), out);
    return;
  }
  out.push_back(e);
}

// --- ranges over a fallback -------------------------------------------------------
// A WHERE condition passes a row only when it is true, so a null and a
// false mean the same. That lets a range over ISNULL(column, other) or
// COALESCE(column, ...) be written as a range over the column itself OR
// (column IS NULL AND a range over the rest): the same rows, but SQLite can
// then read the column's range from an index instead of testing every row.
bool SplitsOverFallback(const Expr& e) {
  const bool range = (e.kind == ExprKind::Between && !e.negated) ||
                     (e.kind == ExprKind::Compare && (e.op == "<" || e.op == "<=" || e.op == ">" || e.op == ">="));
  if (!range) return false;
  const Expr& call = Arg(e, 0);
  if (call.kind != ExprKind::Call || (call.op != "ISNULL" && call.op != "COALESCE") || call.args.size() < 2) {
    return false;
  }
  for (size_t i = 1; i < e.args.size(); ++i) {
    if (!ConstantOf(&Arg(e, i))) return false;
  }
  const Expr& first = Arg(call, 0);
  // Text would be compared under the collation, which no index of ours is built with.
  if (first.kind != ExprKind::Column || first.type.IsText() || first.type.IsUnknown() || call.type.IsText()) {
    return false;
  }
  // Only where the column and the tested value are written plainly, with
  // nothing converted: the range then reads the same on either side.
  // (ISNULL writes its first argument as it is; COALESCE converts every
  // argument to the call's type.)
  if (call.op == "COALESCE" && !ConversionKeepsText(first.type, call.type)) return false;
  SqlType t = call.type;
  for (size_t i = 1; i < e.args.size(); ++i) t = ComparisonType(t, Arg(e, i).type);
  return ConversionKeepsText(call.type, t) && !NeedsCollation(t);
}

void SplitRanges(const SelectCore& c, RewritePlan& plan) {
  std::vector<const Expr*> conditions;
  Conjuncts(c.where.get(), conditions);
  for (const Expr* e : conditions) {
    if (SplitsOverFallback(*e)) plan.splitRanges.insert(e);
  }
}

// --- correlated aggregate sub-queries of grouped queries ------------------------
// A grouped query that computes, for every group, an aggregate over the
// rows of another query that equal the group on some keys would run that
// aggregate once per group. It is rewritten as one aggregate of the inner
// rows grouped by those keys, outer-joined on them: the same values (no
// inner row is a Null key match, and an aggregate over no rows is Null,
// as the join's missing row is), computed in one pass. Filters of the
// outer query on a key column are applied to the inner rows as well,
// since only inner rows equal to a surviving outer row can matter; so are
// the conditions of the CASE branch that holds the sub-query, since its
// value is read only where they hold. A sub-query evaluated only on a
// condition that filters no key (an ELSE branch, the fallback of ISNULL)
// stays correlated: it is usually cheaper as it is.
struct Candidate {
  const Expr* subquery;
  std::vector<const Expr*> guards;  // conditions under which its value is read
};

// `always`: the value is read for every group; otherwise only where `guards` hold.
void FindCandidates(const Expr& e, bool always, const std::vector<const Expr*>& guards, std::vector<Candidate>& out) {
  switch (e.kind) {
    case ExprKind::Subquery:
      if (always || !guards.empty()) out.push_back({&e, guards});
      return;
    case ExprKind::Case:
      if (e.caseOperand) FindCandidates(*e.caseOperand, always, guards, out);
      for (size_t i = 0; i < e.whens.size(); ++i) {
        FindCandidates(*e.whens[i].first, always && i == 0, guards, out);
        if (e.caseOperand) continue;  // CASE x WHEN v: no condition to pass on
        std::vector<const Expr*> branch = guards;
        Conjuncts(e.whens[i].first.get(), branch);
        FindCandidates(*e.whens[i].second, false, branch, out);
      }
      return;  // an ELSE branch holds nothing to filter by
    case ExprKind::Call:
      if (e.op == "ISNULL" || e.op == "COALESCE") {
        FindCandidates(*e.args[0], always, guards, out);
        return;
      }
      break;
    default: break;
  }
  for (const ExprPtr& a : e.args) FindCandidates(*a, always, guards, out);
}

// The sources an expression or query reads, sub-queries included.
void CollectRefs(const Query& q, std::vector<const Source*>& out);
void CollectRefs(const TableRef& t, std::vector<const Source*>& out);

void CollectRefs(const Expr& e, std::vector<const Source*>& out) {
  if (e.kind == ExprKind::Column && e.source) out.push_back(e.source);
  for (const ExprPtr& a : e.args) CollectRefs(*a, out);
  if (e.query) CollectRefs(*e.query, out);
  if (e.caseOperand) CollectRefs(*e.caseOperand, out);
  for (const auto& [when, then] : e.whens) {
    CollectRefs(*when, out);
    CollectRefs(*then, out);
  }
  if (e.elseExpr) CollectRefs(*e.elseExpr, out);
  for (const ExprPtr& p : e.partitionBy) CollectRefs(*p, out);
  for (const OrderItem& o : e.overOrder) CollectRefs(*o.expr, out);
}

void CollectRefs(const Query& q, std::vector<const Source*>& out) {
  if (q.left) CollectRefs(*q.left, out);
  if (q.right) CollectRefs(*q.right, out);
  for (const OrderItem& o : q.orderBy) CollectRefs(*o.expr, out);
  if (!q.core) return;
  const SelectCore& c = *q.core;
  for (const SelectItem& item : c.items) CollectRefs(*item.expr, out);
  for (const TableRefPtr& t : c.from) CollectRefs(*t, out);
  if (c.where) CollectRefs(*c.where, out);
  for (const ExprPtr& g : c.groupBy) CollectRefs(*g, out);
  if (c.having) CollectRefs(*c.having, out);
}

void CollectRefs(const TableRef& t, std::vector<const Source*>& out) {
  if (t.query) CollectRefs(*t.query, out);
  for (const ExprPtr& a : t.args) CollectRefs(*a, out);
  if (t.left) CollectRefs(*t.left, out);
  if (t.right) CollectRefs(*t.right, out);
  if (t.on) CollectRefs(*t.on, out);
}

// Null for an aggregate over no rows, as an unmatched outer join gives.
bool NullOnEmpty(const Expr& e) {
  switch (e.kind) {
    case ExprKind::Call: return IsAggregate(e.op) && e.op != "COUNT" && e.op != "COUNT_BIG" && !e.hasOver;
    case ExprKind::Unary:
    case ExprKind::Cast: return NullOnEmpty(Arg(e, 0));
    case ExprKind::Binary: {
      const bool a = NullOnEmpty(Arg(e, 0)), b = NullOnEmpty(Arg(e, 1));
      auto constant = [](const Expr& x) { return ConstantOf(&x).has_value(); };
      return (a || b) && (a || constant(Arg(e, 0))) && (b || constant(Arg(e, 1)));
    }
    default: return false;
  }
}

// The sources a sub-query's rows come from, those of the plain query it
// reads from included.
std::vector<Source*> InnerSources(const Expr& sub) {
  std::vector<Source*> out;
  auto add = [&](const SelectCore& core) {
    for (const Source* source : core.sources) out.push_back(const_cast<Source*>(source));
  };
  const SelectCore& s = *sub.query->core;
  add(s);
  if (s.from.size() == 1 && s.from[0]->kind == TableRef::Kind::Derived && s.from[0]->query->core) {
    add(*s.from[0]->query->core);
  }
  return out;
}

// The joined aggregate that stands for one candidate, or nothing when the
// sub-query is not of that shape.
std::optional<JoinedAggregate> Analyse(const Candidate& candidate, const SelectCore& outer) {
  const Expr& sub = *candidate.subquery;
  const Query& q = *sub.query;
  if (!q.core || !q.orderBy.empty() || q.outputs.size() != 1) return std::nullopt;
  const SelectCore& s = *q.core;
  if (s.distinct || s.top || !s.groupBy.empty() || s.having || !s.hasAggregate || s.from.empty()) {
    return std::nullopt;
  }
  const Expr& value = *s.items[0].expr;
  const bool count = value.kind == ExprKind::Call && (value.op == "COUNT" || value.op == "COUNT_BIG");
  if (!count && !NullOnEmpty(value)) return std::nullopt;
  JoinedAggregate a;
  // The correlated conditions live in the sub-query's WHERE, or in the
  // WHERE of the plain query it reads from (SELECT SUM(R.X) FROM (SELECT ... WHERE ...) R).
  const SelectCore* k = &s;
  if (s.from.size() == 1 && s.from[0]->kind == TableRef::Kind::Derived && !s.where) {
    const Query& r = *s.from[0]->query;
    if (!r.core || !r.orderBy.empty()) return std::nullopt;
    const SelectCore& rc = *r.core;
    if (rc.hasAggregate || rc.distinct || rc.top || !rc.groupBy.empty() || rc.having) return std::nullopt;
    k = &rc;
    a.derived = s.from[0]->source;
  }
  a.rows = k;
  auto among = [](const std::vector<const Source*>& set, const Source* src) {
    return std::find(set.begin(), set.end(), src) != set.end();
  };
  auto reads = [&](const std::vector<const Source*>& refs, const std::vector<const Source*>& set) {
    return std::any_of(refs.begin(), refs.end(), [&](const Source* src) { return among(set, src); });
  };
  auto only = [&](const std::vector<const Source*>& refs, const std::vector<const Source*>& set) {
    return !refs.empty() && std::all_of(refs.begin(), refs.end(), [&](const Source* src) { return among(set, src); });
  };
  // Nothing but the WHERE conditions may read the outer query.
  std::vector<const Source*> refs;
  CollectRefs(value, refs);
  for (const SelectItem& item : k->items) CollectRefs(*item.expr, refs);
  for (const TableRefPtr& t : k->from) CollectRefs(*t, refs);
  if (reads(refs, outer.sources)) return std::nullopt;

  std::vector<const Expr*> conditions;
  Conjuncts(k->where.get(), conditions);
  for (const Expr* c : conditions) {
    std::vector<const Source*> r;
    CollectRefs(*c, r);
    if (!reads(r, outer.sources)) {
      a.filters.push_back(c);
      continue;
    }
    if (c->kind != ExprKind::Compare || c->op != "=") return std::nullopt;
    std::vector<const Source*> left, right;
    CollectRefs(Arg(*c, 0), left);
    CollectRefs(Arg(*c, 1), right);
    if (only(left, k->sources) && only(right, outer.sources)) {
      a.keys.push_back({&Arg(*c, 0), &Arg(*c, 1)});
    } else if (only(right, k->sources) && only(left, outer.sources)) {
      a.keys.push_back({&Arg(*c, 1), &Arg(*c, 0)});
    } else {
      return std::nullopt;
    }
  }
  if (a.keys.empty()) return std::nullopt;

  // Outer filters and branch conditions on a key column, applied to the inner rows.
  std::vector<const Expr*> outerConditions;
  Conjuncts(outer.where.get(), outerConditions);
  const size_t firstGuard = outerConditions.size();
  outerConditions.insert(outerConditions.end(), candidate.guards.begin(), candidate.guards.end());
  bool guarded = candidate.guards.empty();
  for (size_t n = 0; n < outerConditions.size(); ++n) {
    const Expr* p = outerConditions[n];
    const bool shape = (p->kind == ExprKind::Compare && ConstantOf(&Arg(*p, 1))) ||
                       (p->kind == ExprKind::InList || p->kind == ExprKind::Between);
    if (!shape || Arg(*p, 0).kind != ExprKind::Column) continue;
    bool constants = true;
    for (size_t i = 1; i < p->args.size(); ++i) constants = constants && ConstantOf(&Arg(*p, i)).has_value();
    if (!constants) continue;
    const Expr& column = Arg(*p, 0);
    for (const JoinedAggregate::Key& key : a.keys) {
      if (key.outer->kind != ExprKind::Column || key.inner->kind != ExprKind::Column) continue;
      if (key.outer->source != column.source || key.outer->column != column.column) continue;
      if (key.inner->type.family() != column.type.family() || column.type.IsUnknown()) continue;
      a.pushed.push_back({p, key.inner});
      if (n >= firstGuard) guarded = true;
      break;
    }
  }
  // A sub-query read only on some condition is worth an aggregate of its
  // own only when that condition narrows the inner rows.
  if (!guarded) return std::nullopt;
  a.guards = candidate.guards;
  a.inner = InnerSources(sub);
  a.members.push_back({&sub, &value, a.inner, count});
  return a;
}

// Whether two parts of the tree are the same SQL, a source of `from` read
// as the source at the same place in `to`.
class SameShape {
 public:
  SameShape(const std::vector<Source*>& from, const std::vector<Source*>& to) : from_(from), to_(to) {}

  bool Sources(const Source* a, const Source* b) const {
    auto it = std::find(from_.begin(), from_.end(), a);
    if (it == from_.end()) return a == b;
    // Two sources at the same place may still read different tables.
    return to_[static_cast<size_t>(it - from_.begin())] == b && a->kind == b->kind && a->tableSql == b->tableSql;
  }

  bool Exprs(const Expr* a, const Expr* b) const {
    if (!a || !b) return a == b;
    if (a->kind != b->kind || a->op != b->op || a->literal != b->literal || a->text != b->text ||
        a->negated != b->negated || a->distinct != b->distinct || a->countStar != b->countStar ||
        a->castType.name != b->castType.name || a->castType.first != b->castType.first ||
        a->castType.second != b->castType.second || a->hasOver != b->hasOver || !(a->type == b->type)) {
      return false;
    }
    if (a->kind == ExprKind::Column &&
        (!Sources(a->source, b->source) || a->column != b->column ||
         a->source->columns[a->column].name != b->source->columns[b->column].name)) {
      return false;
    }
    if (!ExprList(a->args, b->args) || !Queries(a->query.get(), b->query.get()) ||
        !Exprs(a->caseOperand.get(), b->caseOperand.get()) || !Exprs(a->elseExpr.get(), b->elseExpr.get()) ||
        !ExprList(a->partitionBy, b->partitionBy) || !Orders(a->overOrder, b->overOrder) ||
        a->whens.size() != b->whens.size()) {
      return false;
    }
    for (size_t i = 0; i < a->whens.size(); ++i) {
      if (!Exprs(a->whens[i].first.get(), b->whens[i].first.get()) ||
          !Exprs(a->whens[i].second.get(), b->whens[i].second.get())) {
        return false;
      }
    }
    return true;
  }

  bool ExprList(const std::vector<ExprPtr>& a, const std::vector<ExprPtr>& b) const {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
      if (!Exprs(a[i].get(), b[i].get())) return false;
    }
    return true;
  }

  bool Orders(const std::vector<OrderItem>& a, const std::vector<OrderItem>& b) const {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
      if (a[i].descending != b[i].descending || a[i].ordinal != b[i].ordinal ||
          !Exprs(a[i].expr.get(), b[i].expr.get())) {
        return false;
      }
    }
    return true;
  }

  bool TableRefs(const std::vector<TableRefPtr>& a, const std::vector<TableRefPtr>& b) const {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
      if (!Tables(a[i].get(), b[i].get())) return false;
    }
    return true;
  }

  bool Tables(const TableRef* a, const TableRef* b) const {
    if (!a || !b) return a == b;
    if (a->kind != b->kind || a->joinType != b->joinType || a->parenthesized != b->parenthesized) return false;
    if (a->kind != TableRef::Kind::Join && !Sources(a->source, b->source)) return false;
    return Queries(a->query.get(), b->query.get()) && ExprList(a->args, b->args) &&
           Tables(a->left.get(), b->left.get()) && Tables(a->right.get(), b->right.get()) &&
           Exprs(a->on.get(), b->on.get());
  }

  bool Queries(const Query* a, const Query* b) const {
    if (!a || !b) return a == b;
    if (a->op != b->op || a->outputs.size() != b->outputs.size() || !Orders(a->orderBy, b->orderBy) ||
        !Queries(a->left.get(), b->left.get()) || !Queries(a->right.get(), b->right.get())) {
      return false;
    }
    for (size_t i = 0; i < a->outputs.size(); ++i) {
      if (a->outputs[i].name != b->outputs[i].name || !(a->outputs[i].type == b->outputs[i].type)) return false;
    }
    if (!a->core || !b->core) return !a->core && !b->core;
    const SelectCore& x = *a->core;
    const SelectCore& y = *b->core;
    if (x.distinct != y.distinct || x.hasAggregate != y.hasAggregate || x.items.size() != y.items.size()) {
      return false;
    }
    for (size_t i = 0; i < x.items.size(); ++i) {
      if (!Exprs(x.items[i].expr.get(), y.items[i].expr.get())) return false;
    }
    return Exprs(x.top.get(), y.top.get()) && TableRefs(x.from, y.from) && Exprs(x.where.get(), y.where.get()) &&
           ExprList(x.groupBy, y.groupBy) && Exprs(x.having.get(), y.having.get());
  }

 private:
  const std::vector<Source*>& from_;
  const std::vector<Source*>& to_;
};

// Whether the candidate `a` aggregates the same rows under the same keys
// as the joined aggregate `g`, so that one pass gives both values.
bool SameRows(const JoinedAggregate& a, const JoinedAggregate& g) {
  if (a.inner.size() != g.inner.size()) return false;
  const SameShape same(a.inner, g.inner);
  if ((a.derived == nullptr) != (g.derived == nullptr)) return false;
  if (a.derived) {
    if (!same.Sources(a.derived, g.derived) || a.rows->items.size() != g.rows->items.size()) return false;
    for (size_t i = 0; i < a.rows->items.size(); ++i) {
      if (!same.Exprs(a.rows->items[i].expr.get(), g.rows->items[i].expr.get()) ||
          a.derived->columns[i].name != g.derived->columns[i].name) {
        return false;
      }
    }
  }
  if (!same.TableRefs(a.rows->from, g.rows->from) || a.keys.size() != g.keys.size() ||
      a.filters.size() != g.filters.size() || a.pushed.size() != g.pushed.size() ||
      a.guards.size() != g.guards.size()) {
    return false;
  }
  for (size_t i = 0; i < a.keys.size(); ++i) {
    if (!same.Exprs(a.keys[i].inner, g.keys[i].inner) || !same.Exprs(a.keys[i].outer, g.keys[i].outer)) return false;
  }
  for (size_t i = 0; i < a.filters.size(); ++i) {
    if (!same.Exprs(a.filters[i], g.filters[i])) return false;
  }
  for (size_t i = 0; i < a.pushed.size(); ++i) {
    if (!same.Exprs(a.pushed[i].condition, g.pushed[i].condition) ||
        !same.Exprs(a.pushed[i].inner, g.pushed[i].inner)) {
      return false;
    }
  }
  for (size_t i = 0; i < a.guards.size(); ++i) {
    if (!same.Exprs(a.guards[i], g.guards[i])) return false;
  }
  return true;
}

void Decorrelate(const SelectCore& c, RewritePlan& plan) {
  if (c.from.empty() || c.groupBy.empty()) return;
  std::vector<Candidate> candidates;
  for (const SelectItem& item : c.items) FindCandidates(*item.expr, true, {}, candidates);
  if (c.having) FindCandidates(*c.having, true, {}, candidates);
  // Sub-queries that aggregate the same rows under the same keys (two
  // sums of one correction, say) share one aggregate: one pass over the
  // inner rows gives all their values.
  std::vector<JoinedAggregate> joined;
  for (const Candidate& candidate : candidates) {
    std::optional<JoinedAggregate> a = Analyse(candidate, c);
    if (!a) continue;
    auto shared = std::find_if(joined.begin(), joined.end(), [&](const JoinedAggregate& g) { return SameRows(*a, g); });
    if (shared != joined.end()) {
      shared->members.push_back(a->members[0]);
    } else {
      joined.push_back(std::move(*a));
    }
  }
  if (!joined.empty()) plan.joined[&c] = std::move(joined);
}

void PlanCore(const SelectCore& c, const RewriteOptions& options, RewritePlan& plan) {
  if (options.splitRanges) SplitRanges(c, plan);
  if (options.groupKey && c.groupBy.size() >= kGroupKeyTerms) plan.groupKeys.insert(&c);
  if (options.decorrelate) Decorrelate(c, plan);
}

}  // namespace

RewritePlan PlanRewrites(const Statement& statement, const RewriteOptions& options) {
  RewritePlan plan;
  VisitCores(statement, [&](const SelectCore& c) { PlanCore(c, options, plan); });
  return plan;
}

RewritePlan PlanRewrites(const Expr& condition, const RewriteOptions& options) {
  RewritePlan plan;
  VisitCores(condition, [&](const SelectCore& c) { PlanCore(c, options, plan); });
  return plan;
}

}  // namespace zelmora::tsql
