#include "screen_text.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace dnsbatch {

// Looking a converter up by name is far dearer than a short conversion, and
// the list asks for every visible cell at each repaint: one per thread.
QString toScreen(std::string_view text)
{
    thread_local QStringDecoder decoder("GB18030", QStringConverter::Flag::Stateless);
    return decoder.decode(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
}

std::string fromScreen(const QString &text)
{
    thread_local QStringEncoder encoder("GB18030", QStringConverter::Flag::Stateless);
    const QByteArray bytes = encoder.encode(text);
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

}  // namespace dnsbatch
