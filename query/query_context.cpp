#include "query/query_context.h"

namespace moravel {
namespace {

QueryContext programContext;
QueryContext* current = &programContext;

}  // namespace

QueryContext& queryContext() { return *current; }

ContextScope::ContextScope(QueryContext& context) : previous_(current) { current = &context; }

ContextScope::~ContextScope() { current = previous_; }

}  // namespace moravel
