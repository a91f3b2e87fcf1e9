#pragma once
// The catalogue of events kept in "eventtable.txt" in the script folder: a
// name line and a comment line per event, at most 201 events.
#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>

namespace tilesmith {

struct EventTable {
    static constexpr int Slots = 201;
    int16_t EventCount = 0;
    std::array<QByteArray, Slots> EventNames;
    std::array<QByteArray, Slots> EventComments;

    // Reads the file's lines (CR LF, or LF alone). A last name without its
    // comment gets an empty one; events beyond 201 are left out and
    // `warning` says so. A missing file gives an empty table.
    static EventTable read(const QByteArray& data, QString& warning);
    // Writes every event but `skip` (-1: none) through a temporary file; the
    // file belongs in the game folder `gameFolder`, and a link at its name
    // never takes the write out of it.
    bool save(const QString& gameFolder, const QString& path, int skip, QString& error) const;
    // Adds "新事件" with its comment; false when the table is full.
    bool addNew();
    // Removes entry n, the later ones moving down.
    void remove(int n);
    // The lowest index whose name equals `name` exactly, or -1.
    int find(const QByteArray& name) const;
};

} // namespace tilesmith
