#pragma once

namespace grelm {

struct ConvertSession;

/// With "Create Thumbnails" checked and worker threads in use, lets the
/// screenshot pass reduce each screenshot while it has it loaded, for the
/// width in the thumbnail box, so that the branch need not load it again.
/// The box is read only when the game folder has screenshots; a width that
/// is no use leaves all the work to the branch.
void planThumbnailsAhead(ConvertSession &session);

/// Writes a thumbnail bitmap of every screenshot the screenshot pass gave
/// output names into Thumbs, named like the screenshot in lower case (names
/// that differ only in case keep their own case), noting each in the Thumbs
/// journal before any is written. Throws on the first failure; sets the
/// session's `stopped` when the window asked to close.
void makeThumbnailBitmaps(ConvertSession &session);

} // namespace grelm
