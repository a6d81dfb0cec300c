// The top-level error display: the one place that shows an error escaping a handler.
#pragma once

#include <exception>
#include <utility>

namespace orvela {

// A modal box captioned with the application title, stop icon, OK button; its text the
// error's message with the full-stop rule. Anything that is not a std::exception shows
// an empty message.
void ShowError(std::exception_ptr error);

// Runs a handler; an error it lets escape is shown, and the caller goes on.
template <class Handler>
void Guarded(Handler&& handler) {
  try {
    std::forward<Handler>(handler)();
  } catch (...) {
    ShowError(std::current_exception());
  }
}

}  // namespace orvela
