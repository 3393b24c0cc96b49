#include "platform/activation_tokens.h"

#include <QtGlobal>

namespace {

const QByteArray XDG_ACTIVATION_TOKEN = QByteArrayLiteral("XDG_ACTIVATION_TOKEN");
const QByteArray DESKTOP_STARTUP_ID = QByteArrayLiteral("DESKTOP_STARTUP_ID");
// Tokens are short; a longer value is not one.
constexpr qsizetype MAX_TOKEN = 200;

bool IsPrintable(const QByteArray& value) {
    if (value.isEmpty() || value.size() > MAX_TOKEN)
        return false;
    for (const char c : value) {
        if (c < 0x20 || c > 0x7e)
            return false;
    }
    return true;
}

} // namespace

ActivationTokens LaunchActivationTokens() {
    ActivationTokens tokens{qgetenv(XDG_ACTIVATION_TOKEN), qgetenv(DESKTOP_STARTUP_ID)};
    if (!IsPrintable(tokens.xdgActivation))
        tokens.xdgActivation.clear();
    if (!IsPrintable(tokens.startupId))
        tokens.startupId.clear();
    return tokens;
}

QList<QByteArray> ActivationTokenFields(const ActivationTokens& tokens) {
    QList<QByteArray> fields;
    if (IsPrintable(tokens.xdgActivation))
        fields.append(XDG_ACTIVATION_TOKEN + '=' + tokens.xdgActivation);
    if (IsPrintable(tokens.startupId))
        fields.append(DESKTOP_STARTUP_ID + '=' + tokens.startupId);
    return fields;
}

ActivationTokens ActivationTokensFromFields(const QList<QByteArray>& fields) {
    ActivationTokens tokens;
    for (const QByteArray& field : fields) {
        const qsizetype equals = field.indexOf('=');
        if (equals < 0)
            continue;
        const QByteArray name = field.left(equals);
        const QByteArray value = field.mid(equals + 1);
        if (!IsPrintable(value))
            continue;
        if (name == XDG_ACTIVATION_TOKEN)
            tokens.xdgActivation = value;
        else if (name == DESKTOP_STARTUP_ID)
            tokens.startupId = value;
    }
    return tokens;
}

std::optional<std::uint32_t> StartupIdTime(const QByteArray& startupId) {
    const qsizetype at = startupId.lastIndexOf("_TIME");
    if (at < 0)
        return std::nullopt;
    const QByteArray digits = startupId.mid(at + 5);
    if (digits.isEmpty() || digits.size() > 10)
        return std::nullopt;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
    }
    bool bOk = false;
    const qulonglong time = digits.toULongLong(&bOk);
    // 0 is CurrentTime, which proves nothing; X times are 32 bits.
    if (!bOk || time == 0 || time > 0xffffffffULL)
        return std::nullopt;
    return static_cast<std::uint32_t>(time);
}
