/*
===============================================================================

	Engine data on library atomics (plug-in 0x01BAD008).

	Per atomic: the render callback the atomic had when its 3D object was
	initialised (null: the object draws through the pipeline), a data word
	whose bits 16-19 are the atomic's level of detail, and a morph-target
	block or null. A new atomic's three fields are zero; destroying it
	frees the block; copying an atomic copies only the data word. The
	stream extension is the data word as four little-endian bytes.

	Morph-target block (made once per atomic, by the engine's morph
	animation): one allocation of two morph-target records naming the
	atomic's geometry, then target 0's vertices, target 0's normals,
	target 1's vertices and target 1's normals, V records each for a
	geometry of V vertices. A geometry with two or more morph targets of
	its own gets no block.

===============================================================================
*/
#ifndef AP_ATOMIC_DATA_PLUGIN_H
#define AP_ATOMIC_DATA_PLUGIN_H

#include "graphics3d/world/RpAtomic.h"

struct RpMorphTarget;

constexpr u32 AP_ATOMIC_DATA_PLUGIN_ID	= 0x01BAD008;

// Bytes of the stream extension.
constexpr s32 AP_ATOMIC_DATA_STREAM_BYTES = 4;

// Morph targets in a block.
constexpr u32 AP_ATOMIC_MORPH_TARGETS	= 2;

struct ApAtomicData {
	RpAtomicCallBackRender	pfnRender;
	u32						uiData;
	void *					pMorphBlock;
};

// Registers the data and its stream extension; 1 when both succeed.
// Between the library's init and open.
s32						ApAtomicDataPluginAttach();

// The atomic's engine data; null before the plug-in is attached.
ApAtomicData *			ApAtomicGetData( RpAtomic * atomic );
const ApAtomicData *	ApAtomicGetData( const RpAtomic * atomic );

RpAtomicCallBackRender	ApGetAtomicCallBackRender( const RpAtomic * atomic );
void					ApSetAtomicCallBackRender( RpAtomic * atomic, RpAtomicCallBackRender callBack );
// Bits 16-19 of the data word.
u32						ApGetAtomicLod( const RpAtomic * atomic );

// Makes the atomic's morph-target block unless it has one or its geometry
// has two or more morph targets; the block or null.
void *					ApAtomicCreateMorphTargets( RpAtomic * atomic );
// Target index (0 or 1) of the block; null without a block.
RpMorphTarget *			ApAtomicGetMorphTarget( RpAtomic * atomic, u32 index );

#endif
