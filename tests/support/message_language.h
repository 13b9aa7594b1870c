// Runs a test's messages in one language and restores the one before.
#pragma once

#include "io/message_catalog.h"

namespace vexal {

class ScopedMessageLanguage {
 public:
  explicit ScopedMessageLanguage(MessageLanguage language) : before_(CurrentMessageLanguage()) {
    SetMessageLanguage(language);
  }
  ~ScopedMessageLanguage() { SetMessageLanguage(before_); }
  ScopedMessageLanguage(const ScopedMessageLanguage&) = delete;
  ScopedMessageLanguage& operator=(const ScopedMessageLanguage&) = delete;

 private:
  MessageLanguage before_;
};

}  // namespace vexal
