#pragma once
// Russian texts for failures the runtime reports in English: XML reading
// errors here, file errors in core/FileErrors.h.  Users read these; they must say what and where.
#include "core/FileErrors.h"
#include <QString>

class QXmlStreamReader;

namespace platform {

// "строка L, позиция C: <what>" for a reader that stopped on an error.  Our
// own errors (raiseError) are already Russian and are kept; the parser's own
// are replaced by a Russian description of their kind.
QString xmlErrorText(const QXmlStreamReader& reader);

}  // namespace platform
