#pragma once

#include <QString>

// Where the program keeps QRX5.ini (the port and the port map).
//
// A QRX5.ini beside the program file wins whenever it is there as a regular file (or a link to
// one): it is read and written as it always was, so a copy that holds a port and a port map
// keeps them, and a build folder prepared by ./run keeps working. Otherwise the file lives in
// the folder "qrx5" of the user's configuration folder (on Linux $XDG_CONFIG_HOME/qrx5, by
// default ~/.config/qrx5), which an installed program can write where its own folder is not.
// The window program and qrx5-cli share this rule, so both use the same file.
namespace IniLocation {

inline constexpr auto FileName = "QRX5.ini";
inline constexpr auto UserFolder = "qrx5";

// The rule itself: the file beside the program when it is a regular file (or a link to one) or
// when there is no configuration folder, else the file in userConfigDir/qrx5. Touches nothing.
QString choose(const QString& programDir, const QString& userConfigDir);

// The rule for the running program: its own folder, the platform's configuration folder.
// Nothing is created here; the first write of the port creates the folder and the file.
QString forThisProgram();

} // namespace IniLocation
