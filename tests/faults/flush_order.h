#pragma once

#include <QStringList>

/// grelm-fault-check order <trace> <game folder>: reads a trace of fsync,
/// fdatasync, rename and unlink calls (strace -f -y) and checks that every
/// screenshot deleted from the game folder went only after its JPEG and its
/// thumbnail JPEG were renamed into place, each flushed, and both folders
/// flushed after those renames. Prints one line; returns 0 when all hold.
int checkFlushOrder(const QStringList &args);
