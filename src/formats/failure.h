// How an edge of the platform reports an operation that can fail: nothing on success, else the
// failure's text, in words a user may be shown. Bind it to a name that says so
// (`if (auto failure = files.writeAtomically(path, bytes)) show(*failure);`), or ask `failed` and
// `succeeded` where the text is not needed, so that no call reads as "if it worked" when it means
// the opposite.
#pragma once

#include <concepts>
#include <optional>
#include <string>

using Failure = std::optional<std::string>;

// Exactly a Failure, never a text converted into one.
template <std::same_as<Failure> Returned>
bool failed(const Returned& failure) {
  return failure.has_value();
}

template <std::same_as<Failure> Returned>
bool succeeded(const Returned& failure) {
  return !failure.has_value();
}
