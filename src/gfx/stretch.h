// Scaled copies between bitmaps.
//
// StretchCopy is the pixel-exact copy the transition styles are built on: it gives the same pixels
// as the GDI call
//   StretchBlt(dest, destRect.Left, destRect.Top, destRect.Width(), destRect.Height(),
//              src,  srcRect.Left,  srcRect.Top,  srcRect.Width(),  srcRect.Height(), SRCCOPY)
// in the COLORONCOLOR stretch mode: whole source rows and columns are dropped or repeated, never
// blended. A rectangle here is an origin (Left, Top) and extents (Width(), Height()), and the
// extents may be negative: a negative extent on one side only mirrors along that axis (the
// rectangle then covers the pixels from origin + extent + 1 up to origin, inclusive). Parts of
// the destination outside dest are not drawn; parts of the source rectangle outside src are
// clipped away together with the destination pixels they would have filled (except that, as in
// GDI, a mirrored copy whose source sticks out of src moves the remaining destination pixels
// rather than mirroring the destination area). A zero extent draws nothing. The exact pixel
// selection is described in gfx/stretch_plan.h.
//
// One deliberate difference from the platform: for a destination one pixel across fed from a
// source two pixels across (the other axis unscaled), GDI copies the whole destination span
// from the start of the visible source span and can read past the end of the source row; here
// the pixels that would come from outside the source are left untouched.
//
// StretchDrawGraphic is the good-looking scaling used where exactness does not matter (preview,
// stretched presentation): area averaging when shrinking, bilinear filtering when enlarging, an
// exact copy at 1:1.
//
// Formats as for Draw (gfx/draw.h): pf8bit sources are resolved through their palette into
// pf24bit dests. None of these functions fails or allocates more than a few rows of working
// memory.
#pragma once

#include "gfx/bitmap.h"
#include "gfx/rect.h"

namespace tovrin {

class TRegion;

void StretchCopy(TBitmap& dest, const TRect& destRect, const TBitmap& src, const TRect& srcRect);

// As StretchCopy, drawing only the pixels of dest inside clip (dest coordinates); a null clip
// means no clipping.
void StretchCopy(TBitmap& dest, const TRect& destRect, const TBitmap& src, const TRect& srcRect,
                 const TRegion* clip);

// The fold drawing of the roll styles: source is first intersected with src's bounds; then for
// mirrorH the destination's left becomes its old right + 1 and its right its old left - 1
// (likewise top and bottom for mirrorV), and the result is copied with StretchCopy. dest and
// source are taken by value; the caller's rectangles are unchanged.
void MirrorCopy(TBitmap& dest, TRect destRect, const TBitmap& src, TRect srcRect, bool mirrorH,
                bool mirrorV);

// The rectangle of dest that StretchCopy (MirrorCopy) with these arguments writes: every pixel
// inside it is written and none outside. Empty when the copy draws nothing. Lets a caller leave
// out earlier drawing that the copy would overwrite anyway.
TRect StretchCopyBox(const TBitmap& dest, const TRect& destRect, const TBitmap& src,
                     const TRect& srcRect);
TRect MirrorCopyBox(const TBitmap& dest, TRect destRect, const TBitmap& src, TRect srcRect,
                    bool mirrorH, bool mirrorV);

// Draws the whole of src scaled to fill rect of dest (aspect ratio not kept), clipped to dest.
void StretchDrawGraphic(TBitmap& dest, const TRect& rect, const TBitmap& src);

}  // namespace tovrin
