#pragma once

#include <QString>
#include <functional>
#include <stdexcept>

class QWidget;

// An error that a command does not handle itself: it reaches the application's
// error box (title "kalvane", the message) and the command stops there; what it
// changed before stays.
class KalvaneError : public std::runtime_error
{
public:
    explicit KalvaneError(const QString &message);
    QString message() const { return m_message; }

private:
    QString m_message;
};

namespace ErrorBox {
inline const QString kTitle = QStringLiteral("kalvane");

void show(QWidget *parent, const QString &message);

// Runs a command; a KalvaneError or any other exception it throws is shown in
// the error box. Returns false when the command ended in an error.
bool guard(QWidget *parent, const std::function<void()> &command);
} // namespace ErrorBox
