// The translator's driver: a statement is bound, the rewrite passes plan
// on the bound tree, and the emitter writes the plan's SQLite text.
#include "platform/sqlite/tsql_translator.h"

#include <deque>

#include "platform/sqlite/tsql_translate_internal.h"

namespace zelmora::tsql {

Translation Translate(Statement& statement, Catalog& catalog, const RewriteOptions& rewrites) {
  std::deque<Source> sources;
  const BoundStatement bound = Binder(catalog, sources).BindStatement(statement);
  const RewritePlan plan = PlanRewrites(statement, rewrites);
  return EmitStatement(statement, bound, plan);
}

std::string TranslateCondition(Expr& condition, Catalog& catalog, const RewriteOptions& rewrites) {
  std::deque<Source> sources;
  Binder(catalog, sources).BindCondition(condition);
  const RewritePlan plan = PlanRewrites(condition, rewrites);
  return EmitCondition(condition, plan);
}

}  // namespace zelmora::tsql
