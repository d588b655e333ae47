#pragma once

namespace grelm {

struct ConvertSession;

/// The Convert command: makes the game folder's Thumbs folder when nothing of
/// that name is there, converts every screenshot to JPEG and, with "Create
/// Thumbnails" checked, makes and converts the thumbnails. Any failure that
/// the passes do not report themselves ends the command with the one message
/// "The path you are currently using is incorrect!". Returns quietly when the
/// window is closed mid-pass.
void runConvertCommand(ConvertSession &session);

} // namespace grelm
