// The translator's driver: a statement is bound, then emitted.
#include "platform/sqlite/tsql_translator.h"

#include <deque>

#include "platform/sqlite/tsql_translate_internal.h"

namespace zelmora::tsql {

Translation Translate(Statement& statement, Catalog& catalog) {
  std::deque<Source> sources;
  const BoundStatement bound = Binder(catalog, sources).BindStatement(statement);
  return EmitStatement(statement, bound);
}

std::string TranslateCondition(Expr& condition, Catalog& catalog) {
  std::deque<Source> sources;
  Binder(catalog, sources).BindCondition(condition);
  return EmitCondition(condition);
}

}  // namespace zelmora::tsql
