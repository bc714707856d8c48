#include "shell/errorbox.h"

#include "shell/desktop.h"

KalvaneError::KalvaneError(const QString &message)
    : std::runtime_error(message.toStdString())
    , m_message(message)
{
}

namespace ErrorBox {

void show(QWidget *parent, const QString &message)
{
    desktop().message(parent, kTitle, message, Desktop::Icon::Critical, Desktop::Ok);
}

bool guard(QWidget *parent, const std::function<void()> &command)
{
    try {
        command();
        return true;
    } catch (const KalvaneError &e) {
        show(parent, e.message());
    } catch (const std::bad_alloc &) {
        show(parent, QStringLiteral("Mémoire insuffisante."));
    } catch (const std::exception &e) {
        show(parent, QString::fromLocal8Bit(e.what()));
    }
    return false;
}

} // namespace ErrorBox
