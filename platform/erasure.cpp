#include "platform/erasure.h"

namespace platform::erasure {
namespace {

bool g_counting = false;
unsigned g_scope_number = 0;

}  // namespace

bool Counting() {
  return g_counting;
}

unsigned ScopeNumber() {
  return g_scope_number;
}

CountingScope::CountingScope() : was_counting_(g_counting) {
  if (!g_counting)
    ++g_scope_number;
  g_counting = true;
}

CountingScope::~CountingScope() {
  g_counting = was_counting_;
}

}  // namespace platform::erasure
