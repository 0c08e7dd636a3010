#pragma once

#include <QString>
#include <stdexcept>

namespace tk {

// The one failure type of the program: carries a message fit to show a user.
class Error : public std::runtime_error {
public:
    explicit Error(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {
    }
    const QString &message() const { return m_message; }

private:
    QString m_message;
};

// The user-readable text of any exception.
inline QString messageOf(const std::exception &e)
{
    const auto *error = dynamic_cast<const Error *>(&e);
    return error ? error->message() : QString::fromLocal8Bit(e.what());
}

} // namespace tk
