// The point-input settings file reader. Besides not crashing: what Open accepts, Save As
// writes and Open reads back equal, within the file cap, and no value that would go to the
// controller holds anything but a plain number. The file is written in the form it was read in
// (its encoding, its bare notes), as Save As writes it.
#include "FuzzCheck.h"
#include "fileio/BoundedFile.h"
#include "pointdata/PointRules.h"
#include "pointdata/SettingsFile.h"

#include <QByteArray>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const SettingsFile::ReadResult first = SettingsFile::read(bytes);
    if (!first.ok)
        return 0;
    const auto plain = [](const QString& v) { return v.isEmpty() || CellText::number(v); };
    for (const PointRecord& p : first.points)
        FUZZ_CHECK(plain(p.position) && plain(p.speed) && plain(p.push));
    for (const ParameterRow& row : first.parameters)
        FUZZ_CHECK(row.number == 0 || plain(row.setting));

    const QByteArray written = SettingsFile::write(first.points, first.parameters, first.form);
    FUZZ_CHECK(written.size() <= BoundedFile::SettingsFileMaxBytes);
    const SettingsFile::ReadResult second = SettingsFile::read(written);
    FUZZ_CHECK(second.ok);
    FUZZ_CHECK(second.points == first.points);
    FUZZ_CHECK(second.parameters == first.parameters);
    return 0;
}
