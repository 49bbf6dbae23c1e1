/*
===============================================================================

	Frames of the 3D library.

	A frame is a transform node: a modelling matrix relative to its parent,
	a cached local-to-world matrix (LTM), the objects attached to it and
	links into a tree (first child, next sibling, root). Children are kept
	newest first.

	Changing a frame computes nothing at once: the hierarchy's root is put
	at the head of the engine's dirty-frame list (only when its private
	flags have neither 0x01 nor 0x02, so a root is listed once) and gets
	0x03, and the changed frame gets 0x0C. LTMs and attached objects are
	brought up to date when an LTM is asked for or when the dirty list is
	synchronised (RwFrameSync.h).

	A destroyed frame's children become roots of their own subtrees, and a
	hierarchy destroyed from a non-root frame is first detached from its
	parent, so no frame is left naming a freed one. Objects still attached
	to a destroyed frame are detached from it.

	Frames come from the frame free list (entries of the frame registry's
	final size, 50 a block); plug-ins extend them through frameTKList.

===============================================================================
*/
#ifndef RW_FRAME_H
#define RW_FRAME_H

#include "graphics3d/core/RwMatrixCombine.h"
#include "graphics3d/core/RwObject.h"

struct RwFrame {
	RwObject	object;				// type 0; parent: the parent frame
	RwLLLink	inDirtyListLink;	// a root's link in the dirty-frame list
	RwMatrix	modelling;			// relative to the parent
	RwMatrix	ltm;				// local to world, valid after a sync
	RwLinkList	objectList;			// of RwObjectHasFrame
	RwFrame*	child;				// first child
	RwFrame*	next;				// next sibling
	RwFrame*	root;				// the hierarchy's root, itself for a root
};

// Object type of frames.
constexpr u8 rwFRAME = 0;

// Private flag bits: on a root, the hierarchy's LTMs and objects are due;
// on a changed frame, its subtree's LTMs and objects are due.
constexpr u8 rwFRAMEPRIVATEHIERARCHYSYNCLTM	= 0x01;
constexpr u8 rwFRAMEPRIVATEHIERARCHYSYNCOBJ	= 0x02;
constexpr u8 rwFRAMEPRIVATESUBTREESYNCLTM	= 0x04;
constexpr u8 rwFRAMEPRIVATESUBTREESYNCOBJ	= 0x08;
constexpr u8 rwFRAMEPRIVATEHIERARCHYSYNC	= 0x03;
constexpr u8 rwFRAMEPRIVATESUBTREESYNC		= 0x0C;

// The module's globals in the engine instance.
struct RwFrameGlobals {
	RwFreeList*	frames;
};

extern RwModuleInfo		frameModule;
extern RwPluginRegistry	frameTKList;

// Entries per block of the frame free list.
constexpr s32 RWFRAME_ENTRIES_PER_BLOCK = 50;

typedef RwFrame* ( *RwFrameCallBack )( RwFrame* frame, void* data );

// A root with identity matrices, or null.
RwFrame*	RwFrameCreate();
bool		RwFrameDestroy( RwFrame* frame );
// The frame and every frame below it, children before parents.
bool		RwFrameDestroyHierarchy( RwFrame* frame );

RwFrame*	RwFrameAddChild( RwFrame* parent, RwFrame* child );
RwFrame*	RwFrameRemoveChild( RwFrame* child );
// Calls back for each direct child until the callback returns null; the
// next sibling is fetched first, so the callback may detach the child.
RwFrame*	RwFrameForAllChildren( RwFrame* frame, RwFrameCallBack callBack, void* data );

// Change the modelling matrix and mark the frame dirty; null (nothing
// changed) for an invalid combination type.
RwFrame*	RwFrameTranslate( RwFrame* frame, const RwV3d* v, RwOpCombineType combine );
RwFrame*	RwFrameRotate( RwFrame* frame, const RwV3d* axis, f32 angle, RwOpCombineType combine );
RwFrame*	RwFrameSetIdentity( RwFrame* frame );
RwFrame*	RwFrameOrthoNormalize( RwFrame* frame );
// Marks the frame dirty: what every change does. A modelling matrix marked
// identity whose rows were written since loses the mark first.
RwFrame*	RwFrameUpdateObjects( RwFrame* frame );

// The frame's LTM, the hierarchy's LTMs brought up to date first.
RwMatrix*	RwFrameGetLTM( RwFrame* frame );
// The root's private flags & 3: non-zero while synchronisation is due.
u32			RwFrameDirty( const RwFrame* frame );

// Header cleared, no parent, no objects, identity matrices, no child or
// sibling, its own root; then the plug-in constructors. Null when one
// fails.
RwFrame*	_rwFrameInit( RwFrame* frame );
// Detaches the child from its parent's child list; nothing else changes.
void		_rwFrameUnlinkFromParent( RwFrame* child );
// Sets the root of the frame and of every frame below it.
void		_rwFrameSetHierarchyRoot( RwFrame* frame, RwFrame* root );
// Takes a listed root off the dirty list.
void		_rwFrameUnlinkDirty( RwFrame* frame );
// Runs the plug-in destructors and gives the entry back.
void		_rwFrameFree( RwFrame* frame );
// Gives an entry back without destructors (for a frame never constructed).
void		_rwFrameFreeUnconstructed( RwFrame* frame );
// A new entry of the frame free list, or null.
RwFrame*	_rwFrameAllocate();

s32			RwFrameRegisterPlugin( s32 size, u32 pluginID, RwPluginObjectConstructor constructCB,
								   RwPluginObjectDestructor destructCB, RwPluginObjectCopy copyCB );
s32			RwFrameRegisterPluginStream( u32 pluginID, RwPluginDataChunkReadCallBack readCB,
										 RwPluginDataChunkWriteCallBack writeCB,
										 RwPluginDataChunkGetSizeCallBack getSizeCB );
s32			RwFrameGetPluginOffset( u32 pluginID );

// Engine plug-in open (frame free list, empty dirty list) and close.
void*		_rwFrameOpen( void* instance, s32 offset, s32 size );
void*		_rwFrameClose( void* instance, s32 offset, s32 size );

#endif
