/*
===============================================================================

	Lights of the 3D library.

	A light is a frame-attached object with a type, a radius, a colour and,
	for spot lights, a cone kept as the negated cosine of its angle. Types
	below 0x80 are global lights (no position: directional or ambient),
	0x80 and above local lights with a position and a radius.
	privateFlags bit 0x01 records that red, green and blue are equal;
	flags are the usage bits the lighting code reads (3 for a new light).

	The light registry is a static record; the free list (32 per block,
	one block preallocated) lives in the light module's engine data, and
	closing the module destroys every light still allocated.

	A light chunk (0x12) is a struct of at most 24 bytes (radius, red,
	green, blue, cone value, and a word with the type in bits 16-23 and
	the flags in bits 0-7; missing bytes read as zero, extra ones are
	skipped), then the extension chunk. Chunks older than 0x30300 store
	the cone as the tangent of its angle. Lights read from streams have
	alpha 1.0.

	Destroying a light takes it out of its world first (the world
	objects' destructor).

===============================================================================
*/
#ifndef RP_LIGHT_H
#define RP_LIGHT_H

#include "graphics3d/core/RwObject.h"
#include "graphics3d/core/RwPlugin.h"
#include "graphics3d/core/RwRGBA.h"

struct RpWorld;
struct RwStream;
struct RwFreeList;

// Object type of lights.
constexpr u8 rpLIGHT = 3;

// Engine plug-in id of the light module; chunk type of a light.
constexpr u32 rwID_LIGHTMODULE	= 0x505;
constexpr u32 rwID_LIGHT		= 0x12;

// Light types; 0x80 and above are local.
enum RpLightType : s32 {
	rpNALIGHTTYPE				= 0,
	rpLIGHTDIRECTIONAL			= 1,
	rpLIGHTAMBIENT				= 2,
	rpLIGHTPOINT				= 0x80,
	rpLIGHTSPOT					= 0x81,
	rpLIGHTSPOTSOFT				= 0x82,
};

// privateFlags bit: red, green and blue are equal.
constexpr u8 rpLIGHTPRIVATENOCHROMA = 0x01;
// flags of a new light.
constexpr u8 RPLIGHT_DEFAULT_FLAGS = 0x03;

// Largest cone angle accepted, in radians.
constexpr f32 RPLIGHT_MAX_CONE_ANGLE = 89.9999f;

// Lights per block of the free list; largest struct payload read.
constexpr s32 RPLIGHT_ENTRIES_PER_BLOCK = 32;
constexpr u32 RPLIGHT_CHUNK_STRUCT_BYTES = 24;

// Oldest chunk version that stores the cone as the negated cosine.
constexpr u32 RPLIGHT_CONE_COSINE_VERSION = 0x30300;

struct RpLight {
	RwObjectHasFrame		object;
	f32						radius;
	RwRGBAReal				color;
	f32						minusCosAngle;		// negated cosine of the cone angle
	RwLinkList				WorldSectorsInLight;	// ties to world sectors
	RwLLLink				inWorld;			// kept by the world objects
	u16						lightFrame;			// light-frame counter at the last update
};

// The light module's engine data.
struct RpLightGlobals {
	RwFreeList*		lightFreeList;
};

extern RwPluginRegistry	lightTKList;
extern RwModuleInfo		lightModule;

// A new light of the type; null when the module is closed or the free
// list is empty.
RpLight*		RpLightCreate( s32 type );
// Leaves its world, runs the destructors, releases the frame and is
// freed. True.
bool			RpLightDestroy( RpLight* light );
// Refreshes the light's place through its frame, if it has one.
RpLight*		RpLightSetRadius( RpLight* light, f32 radius );
RpLight*		RpLightSetColor( RpLight* light, const RwRGBAReal* color );
// Radians; null below 0.0 or above RPLIGHT_MAX_CONE_ANGLE, and the light
// is unchanged.
RpLight*		RpLightSetConeAngle( RpLight* light, f32 angle );
// Radians.
f32				RpLightGetConeAngle( const RpLight* light );
s32				RpLightRegisterPlugin( s32 size, u32 pluginID, RwPluginObjectConstructor constructCB,
									   RwPluginObjectDestructor destructCB, RwPluginObjectCopy copyCB );
// The stream positioned inside a light chunk; the light or null.
RpLight*		RpLightStreamRead( RwStream* stream );
// The world the light is in, or null.
RpWorld*		RpLightGetWorld( const RpLight* light );

// The negated cone cosine of a stored cone value in a chunk of the version.
f32				_rpLightConeFromStream( f32 storedValue, u32 version );

// Engine plug-in open and close: the light free list; close destroys
// every light still allocated first.
void*			_rpLightOpen( void* instance, s32 offset, s32 size );
void*			_rpLightClose( void* instance, s32 offset, s32 size );

#endif
