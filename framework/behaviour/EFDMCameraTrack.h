/*
===============================================================================

	Camera splines and their tracks: the camera spline nearest a point,
	and the track of a camera spline read from the animation blocks of an
	animation manager's nodes.

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

// Channel types of a camera track.
constexpr u32 EF_DM_CAMERA_CHANNEL_X				= 3;
constexpr u32 EF_DM_CAMERA_CHANNEL_Y				= 4;
constexpr u32 EF_DM_CAMERA_CHANNEL_Z				= 5;
constexpr u32 EF_DM_CAMERA_CHANNEL_ROTATION_X	= 6;
constexpr u32 EF_DM_CAMERA_CHANNEL_ROTATION_Y	= 7;
constexpr u32 EF_DM_CAMERA_CHANNEL_ROTATION_Z	= 8;
constexpr u32 EF_DM_CAMERA_CHANNEL_YAW			= 12;
constexpr u32 EF_DM_CAMERA_CHANNEL_PITCH			= 13;
constexpr u32 EF_DM_CAMERA_CHANNEL_LOOK_FACTOR	= 14;
constexpr u32 EF_DM_CAMERA_CHANNEL_MAX_DRIFT		= 15;
constexpr u32 EF_DM_CAMERA_CHANNEL_H_SMOOTHING	= 16;
constexpr u32 EF_DM_CAMERA_CHANNEL_O_SMOOTHING	= 17;
constexpr u32 EF_DM_CAMERA_CHANNEL_FAR_CLIP		= 19;
constexpr u32 EF_DM_CAMERA_CHANNEL_FOCAL			= 20;
constexpr u32 EF_DM_CAMERA_CHANNEL_V_SMOOTHING	= 21;

class DTFCurve;
class DTVector3d;
class EFQuadraticSpline;
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
	// Normalised spline position used for a touch at u (camera splines
	// and rope detection): a loop keeps the fraction, an open spline clamps.
	static f32				TouchPosition( f32 u, bool loop );
	// The camera spline (flag 0x4) whose point at the sphere's touch is
	// nearest position, in the spline manager's order; null for none.
	static EFQuadraticSpline *	NearestCameraSpline( const DTVector3d & position, f32 radius );
	// Whether every stored key of the curve lies in its bytes.
	static bool				KeysFit( const DTFCurve & curve, u32 bytes );

private:
	DTAnimHdr				moHeader;
	u32						mui32Track;
};

#endif
