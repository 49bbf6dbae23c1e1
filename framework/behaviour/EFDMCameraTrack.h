/*
===============================================================================

	The camera track of one camera spline, read from the animation blocks
	of an animation manager's nodes.

	Each node's resource holds a big-endian block of tracks (see
	DTAnimHdr): {u32 spline id, u16, u16 entry count, entries of {u32 kind
	word whose low 24 bits are the channel, u32 offset of a key curve}}.
	The first track, nodes in array order, whose spline id is the camera's
	drives the camera.

	A curve is evaluated at a time taken from the spline cursor: with one
	key per spline segment the time runs through the cursor's segment by
	arc length (from 0 for the first segment), otherwise through the whole
	curve by the share of the spline travelled. A curve whose stored keys
	would end past its block is not used, and a segment of no length gives
	its start time.

===============================================================================
*/
#ifndef EF_DM_CAMERA_TRACK_H
#define EF_DM_CAMERA_TRACK_H

#include "datatypes/node/DTAnimHdr.h"

class DTFCurve;
class EFAnimationMgr;
class EFSplineCursor;

class EFDMCameraTrack {
public:
							EFDMCameraTrack();

	// Finds the track of the spline id; false when no node has one.
	bool					Find( const EFAnimationMgr & manager, s32 splineId );
	u32						GetChannelCount() const;
	// The channel type of an entry.
	u32						GetChannel( u32 entry ) const;
	// The entry's curve value at the cursor; false for a curve that does
	// not fit in its block.
	bool					Evaluate( u32 entry, const EFSplineCursor & cursor, f32 & value ) const;

	// The time at the cursor of the curve at bytes (its keys fit).
	static f32				CurveTime( const u8 * bytes, const DTFCurve & curve, const EFSplineCursor & cursor );
	// Whether every stored key of the curve lies in its bytes.
	static bool				KeysFit( const DTFCurve & curve, u32 bytes );

private:
	DTAnimHdr				moHeader;
	u32						mui32Track;
};

#endif
