#include "screen_text.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace dnsbatch {

QString toScreen(std::string_view text)
{
    QStringDecoder decoder("GB18030", QStringConverter::Flag::Stateless);
    return decoder.decode(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
}

std::string fromScreen(const QString &text)
{
    QStringEncoder encoder("GB18030", QStringConverter::Flag::Stateless);
    const QByteArray bytes = encoder.encode(text);
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

}  // namespace dnsbatch
