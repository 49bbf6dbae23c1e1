/*
===============================================================================

	Layout of the table `_api_spline` that a module gets from the root table:
	the level's splines.

	Slot order is the interface with the engine; every slot is one
	function pointer wide. Slots the engine does not fill hold a stub that
	returns zero.

===============================================================================
*/
#ifndef LOGIC_TABLE_SPLINE_H
#define LOGIC_TABLE_SPLINE_H

#include "framework/logic/api/LogicApiRecords.h"

#ifdef __cplusplus
extern "C" {
#endif

#define LOGIC_API_SPLINE_SLOTS		32
#define LOGIC_API_SPLINE_PAD_SLOTS	16

struct _api_spline {
	void							( *InitSplineAPI )( void );
	u32								( *GetNbSplines )( void );
	s32								( *GetIndex )( u32 id );
	u32								( *GetID )( s32 index );
	void							( *GetPosition )( u32 spline, f32 u, DTVector3d * out );
	void							( *GetSegmentPosition )( u32 spline, u32 segment, f32 t, DTVector3d * out );
	u32								( *GetNbSegments )( u32 spline );
	void							( *Segment2GlobalFactor )( u32 spline, u32 segment, f32 t, f32 * u );
	void							( *Global2SegmentFactor )( u32 spline, f32 u, u32 * segment, f32 * t );
	void							( *GetTangent )( u32 spline, f32 u, DTVector3d * out );
	f32								( *GetLength )( u32 spline );
	f32								( *GetDistance )( u32 spline, u32 segment );
	f32								( *GetSegmentLength )( u32 spline, u32 segment, f32 t );
	f32								( *MoveDistance )( u32 spline, f32 u, f32 distance );
	u32								( *GetType )( u32 spline );
	f32								( *GetNearest )( u32 spline, DTVector3d * x );
	void							( *Pad[LOGIC_API_SPLINE_PAD_SLOTS] )( void );
};

LOGIC_API_SLOT( _api_spline, InitSplineAPI, 0 );
LOGIC_API_SLOT( _api_spline, GetNbSplines, 1 );
LOGIC_API_SLOT( _api_spline, GetIndex, 2 );
LOGIC_API_SLOT( _api_spline, GetID, 3 );
LOGIC_API_SLOT( _api_spline, GetPosition, 4 );
LOGIC_API_SLOT( _api_spline, GetSegmentPosition, 5 );
LOGIC_API_SLOT( _api_spline, GetNbSegments, 6 );
LOGIC_API_SLOT( _api_spline, Segment2GlobalFactor, 7 );
LOGIC_API_SLOT( _api_spline, Global2SegmentFactor, 8 );
LOGIC_API_SLOT( _api_spline, GetTangent, 9 );
LOGIC_API_SLOT( _api_spline, GetLength, 10 );
LOGIC_API_SLOT( _api_spline, GetDistance, 11 );
LOGIC_API_SLOT( _api_spline, GetSegmentLength, 12 );
LOGIC_API_SLOT( _api_spline, MoveDistance, 13 );
LOGIC_API_SLOT( _api_spline, GetType, 14 );
LOGIC_API_SLOT( _api_spline, GetNearest, 15 );
LOGIC_API_SLOT( _api_spline, Pad, 16 );
LOGIC_API_TABLE_SIZE( _api_spline, LOGIC_API_SPLINE_SLOTS );

#ifdef __cplusplus
}
#endif

#endif
