#pragma once

#include "drive/Drive.h"

#include <QChar>
#include <QString>

struct PointOpsContext;

// Object names of the size detection panel.
namespace SizeCtl {
inline constexpr char Valid[] = "size_yuukou";
inline constexpr char Invalid[] = "size_mukou";
inline constexpr char Direction[] = "size_houkou";
inline constexpr char Speed[] = "size_sokudo";
inline constexpr char Level[] = "size_tikara";
inline constexpr char Max[] = "size_dai";
inline constexpr char Min[] = "size_syou";
inline constexpr char TeachMax[] = "size_saidaisettei";
inline constexpr char TeachMin[] = "size_saisyousettei";
inline constexpr char Set[] = "size_set";
} // namespace SizeCtl

// The size detecting function of a point-input controller: switching it on and off, teaching
// the maximum and minimum pushing points against samples, sending both points, and the entry
// checks of the panel's five boxes. Parameters 31, 32 and 33 of the window's table follow
// every value sent or taught.
class SizeDetection final {
  public:
    static constexpr quint32 HighlightBgr = 0xFFC0C0;

    SizeDetection(const PointOpsContext& ops, PanelHost& host);

    // Whether a typed character may reach a box (Enter, backspace, Tab and Escape always do).
    static bool acceptsKey(const QString& box, QChar ch);
    // A character the direction box refused: the operator is told which letters it takes.
    void keyRefused(const QString& box);
    // The operator changed the text of the direction, speed or pushing level box.
    void edited(const QString& box);
    // A point box took Enter or lost the focus: its check.
    void pointLeft(const QString& box, bool byEnter);

    void switchFunction(bool valid); // Valid / Invalid
    void teach(bool maximum);        // Maximum setting / Minimum setting
    void sendPoints();               // SET

    bool busy() const { return m_busy; }

  private:
    bool modelCheck(const DriveContext& c, const QString& oldModelText);
    bool returnToOrigin(const DriveContext& c);
    // Checks a point box's text for SET; refuses it with its message when malformed.
    bool pointText(bool maximum, double& value);

    const PointOpsContext& m_ops;
    PanelHost& m_host;
    const DriveContext m_ctx; // the same link and operator, as the motions see them
    bool m_busy = false;      // hajityuu
};
