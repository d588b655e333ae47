#include "core/content_identity.h"

#include <QCryptographicHash>

namespace grelm {

ContentIdentity ContentIdentity::of(const QByteArray &bytes)
{
    return {bytes.size(), QCryptographicHash::hash(bytes, QCryptographicHash::Sha256)};
}

} // namespace grelm
