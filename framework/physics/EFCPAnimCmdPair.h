/*
===============================================================================

	One timed command of a collision-primitive animation track and the
	payload of each command code. The payloads are plain 32-bit fields;
	the track allocates and frees them, a pair only points at its own.

	Codes 2-7 run from a start value to an end value between the
	command's time and its end time (an end time of 0 or less holds the
	start value); code 0 sets an integer attribute, code 8 the object's
	bounding sphere, code 9 restores the primitive exported with the
	model. Code 1 is carried and never played.

===============================================================================
*/
#ifndef EF_CP_ANIM_CMD_PAIR_H
#define EF_CP_ANIM_CMD_PAIR_H

#include "datatypes/base/DTTypes.h"

// Command codes.
enum EFCPAnimCommand_e : u16 {
	EF_CPANIM_ATTR_INT		= 0,
	EF_CPANIM_ATTR_REAL		= 1,
	EF_CPANIM_BOUND_SPHERE	= 2,
	EF_CPANIM_TRANSLATE		= 3,
	EF_CPANIM_SPHERE_RADIUS	= 4,
	EF_CPANIM_SWEPT_AXIS	= 5,
	EF_CPANIM_SWEPT_RADIUS	= 6,
	EF_CPANIM_BBOX_DIM		= 7,
	EF_CPANIM_GLOBAL_SPHERE	= 8,
	EF_CPANIM_PRIM_EXPORTED	= 9,
	// Codes from here on carry no payload.
	EF_CPANIM_NO_PAYLOAD	= 9,
};

struct EFCPAnimSphere {
	f32		mfX, mfY, mfZ;
	f32		mfRadius;
};

struct EFCPAnimAttrInt {
	s32		miIndex;
	s32		miValue;
};

struct EFCPAnimAttrReal {
	s32		miIndex;
	f32		mfValue;
};

struct EFCPAnimBoundSphere {
	f32				mfEndTime;
	EFCPAnimSphere	moStart;
	EFCPAnimSphere	moEnd;
};

struct EFCPAnimVector {
	f32		mfEndTime;
	f32		mafStart[3];
	f32		mafEnd[3];
};

struct EFCPAnimValue {
	f32		mfEndTime;
	f32		mfStart;
	f32		mfEnd;
};

struct EFCPAnimTranslate : EFCPAnimVector {};
struct EFCPAnimSphereRadius : EFCPAnimValue {};
struct EFCPAnimSweptAxis : EFCPAnimVector {};
struct EFCPAnimSweptRadius : EFCPAnimValue {};
struct EFCPAnimBBoxDim : EFCPAnimVector {};

struct EFCPAnimGlobalSphere {
	EFCPAnimSphere	moSphere;
};

static_assert( sizeof( EFCPAnimAttrInt ) == 8 && sizeof( EFCPAnimAttrReal ) == 8, "attribute payloads" );
static_assert( sizeof( EFCPAnimBoundSphere ) == 36, "bounding sphere payload" );
static_assert( sizeof( EFCPAnimTranslate ) == 28 && sizeof( EFCPAnimSweptAxis ) == 28 &&
				   sizeof( EFCPAnimBBoxDim ) == 28,
			   "vector payloads" );
static_assert( sizeof( EFCPAnimSphereRadius ) == 12 && sizeof( EFCPAnimSweptRadius ) == 12, "value payloads" );
static_assert( sizeof( EFCPAnimGlobalSphere ) == 16, "global sphere payload" );

struct EFCPAnimCmdPair {
				EFCPAnimCmdPair() : mfTime( 0.0f ), mui16Prim( 0 ), mui16Command( 0 ), mpPayload( nullptr ) {}

	f32			mfTime;
	u16			mui16Prim;
	u16			mui16Command;
	void *		mpPayload;
};

// Bytes of a code's payload; 0 for codes without one.
u32		EFCPAnimPayloadSize( u32 command );

#endif
