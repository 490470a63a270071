#pragma once

#include <QString>

// INI file routines with the semantics of the classic profile functions: section and key
// names compared without regard to case; values trimmed and surrounding quotes dropped on
// read; values written as given; every other line and comment of the file kept.
namespace Profile {

// The value of key in section, cut to 254 characters; "ERROR" for a missing file, section
// or key.
QString ReadSetting(const QString& key, const QString& section, const QString& iniPath);
// Writes key=value in section, creating the section and the file when missing.
bool WriteSetting(const QString& value, const QString& key, const QString& section,
                  const QString& iniPath);

} // namespace Profile
