#pragma once

#include "format/Error.h"

namespace qev {

// A message the mail server did not take. The kind says whether the next
// message can fare better: a server that cannot be reached, refuses the login
// or the sender refuses every message alike.
class MailError : public Error {
  public:
    enum class Kind { Connection, Login, Sender, Recipient, Message };

    MailError(Kind kind, const QString& message) : Error(message), kind_(kind) {}
    Kind kind() const { return kind_; }
    bool affectsEveryMessage() const {
        return kind_ == Kind::Connection || kind_ == Kind::Login || kind_ == Kind::Sender;
    }

  private:
    Kind kind_;
};

}  // namespace qev
