#pragma once

#include "files/SettingsFileFlow.h"
#include "operator/OperatorInteraction.h"
#include "pointdata/ParameterTableModel.h"
#include "pointdata/PointFileOps.h"
#include "pointdata/PointTableModel.h"

// The two tables of the point-input window and its modified flag, as plain data a test
// compares.
struct SettingsDocument {
    PointTableData points;
    ParameterTableData parameters;
    bool modified = false;
};

// The point-input window's tables with the settings file sequences on them. Each sequence
// runs on the tables of a document and gives back what it left in them; the file's form (its
// encoding, its bare notes) stays with the rig from one sequence to the next, as it stays
// with the window.
class PointFileRig {
  public:
    explicit PointFileRig(OperatorInteraction& op)
        : m_op(op), m_points(op), m_parameters(op), m_file(m_points, m_parameters) {}

    PointFileOps& file() { return m_file; }

    bool saveAs(SettingsDocument& doc) { return run(doc, &SettingsFileFlow::saveAs); }
    bool newFile(SettingsDocument& doc) { return run(doc, &SettingsFileFlow::newFile); }
    bool open(SettingsDocument& doc) { return run(doc, &SettingsFileFlow::open); }

  private:
    bool run(SettingsDocument& doc, bool (*sequence)(OperatorInteraction&, SettingsFileKind&)) {
        m_points.setTable(doc.points);
        m_parameters.setTable(doc.parameters);
        m_points.setModified(doc.modified);
        const bool done = sequence(m_op, m_file);
        doc = {m_points.table(), m_parameters.table(), m_points.modified()};
        return done;
    }

    OperatorInteraction& m_op;
    PointTableModel m_points;
    ParameterTableModel m_parameters;
    PointFileOps m_file;
};
