// The INI file. Besides not crashing: after the port is written it reads back, a key of
// another section reads as it did before, and a byte order mark stays in front.
#include "FuzzCheck.h"
#include "link/Profile.h"

#include <QByteArray>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray file(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString port = Profile::readFrom(file, QStringLiteral("COM1"), QStringLiteral("Ports"));
    Profile::readFrom(file, QStringLiteral("COM"), QStringLiteral("Data"));

    const QByteArray written =
        Profile::writeTo(file, QStringLiteral(" 3"), QStringLiteral("COM"), QStringLiteral("Data"));
    FUZZ_CHECK(Profile::readFrom(written, QStringLiteral("COM"), QStringLiteral("Data")) ==
               QLatin1String("3"));
    FUZZ_CHECK(Profile::readFrom(written, QStringLiteral("COM1"), QStringLiteral("Ports")) == port);
    FUZZ_CHECK(!file.startsWith("\xEF\xBB\xBF") || written.startsWith("\xEF\xBB\xBF"));
    return 0;
}
