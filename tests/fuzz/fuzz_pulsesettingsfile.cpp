// The pulse-train settings file reader. Besides not crashing: what Open accepts, Save As
// writes and Open reads back equal, within the file cap, and no zone position or parameter
// value that would go to the controller holds anything but a plain number. The file is
// written in the form it was read in (its encoding, its bare notes), as Save As writes it.
#include "FuzzCheck.h"
#include "fileio/BoundedFile.h"
#include "pulse/PulseSettingsFile.h"
#include "tables/CellText.h"

#include <QByteArray>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const PulseSettingsFile::ReadResult first = PulseSettingsFile::read(bytes);
    if (!first.ok)
        return 0;
    const auto plain = [](const QString& v) {
        return v.isEmpty() || CellText::number(v.trimmed());
    };
    for (const ZoneRecord& z : first.zones)
        FUZZ_CHECK(plain(z.a) && plain(z.b));
    for (const ParameterRow& row : first.parameters)
        FUZZ_CHECK(row.number == 0 || (!row.setting.isEmpty() && plain(row.setting)));

    const QByteArray written = PulseSettingsFile::write(first.zones, first.parameters, first.form);
    FUZZ_CHECK(written.size() <= BoundedFile::SettingsFileMaxBytes);
    const PulseSettingsFile::ReadResult second = PulseSettingsFile::read(written);
    FUZZ_CHECK(second.ok);
    FUZZ_CHECK(second.zones == first.zones);
    FUZZ_CHECK(second.parameters == first.parameters);
    return 0;
}
