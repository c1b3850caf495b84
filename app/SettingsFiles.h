// The settings files of a connected ESC: saving what the pages show, and loading a file's
// values as changes waiting for WRITE. Both work while the parameters are read and no transfer
// runs; both ask for the file first, or take it as given.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "ConnectionState.h"
#include "EscIdentity.h"
#include "ParameterSet.h"

namespace corvane {

class ConnectionView;

// What a load of a settings file did: the status line it said, and the settings that found
// no place on this ESC (named in that line).
struct LoadOutcome {
    bool loaded = false;
    QString line;
    QStringList notPlaced;
};

class SettingsFiles {
public:
    // What of the connection the files see: the controller's own, never copies.
    struct Connection {
        ConnectionView& view;
        ParameterSet& params;
        const std::vector<uint8_t>& block;
        const EscIdentity& identity;
        const ConnectionState& state;
        std::function<void(const QString&)> say;
    };
    explicit SettingsFiles(Connection connection) : m_c(std::move(connection)) {}

    bool Live() const { return RulesOf(m_c.state).writeLive; }
    void Save();
    void Load();
    // The same with the file given; false when nothing was saved or loaded (said in a box).
    bool SaveTo(const QString& path);
    LoadOutcome LoadFrom(const QString& path);
    // The settings file's text for what the pages show, saved now.
    QByteArray Json() const;

private:
    // The file the user picks; empty when cancelled or the ESC changed meanwhile.
    QString Choose(bool save);
    void Refuse(const QString& text);

    Connection m_c;
};

} // namespace corvane
