/*
===============================================================================

	One object of the level: a positioned instance with a body that owns
	the instances made from its level record (3D objects, sounds and
	others), its animation nodes, its logic instance, its animation
	manager and its sound manager. A game object is its own owner; its id
	has the top byte 0x2a.

	Loading reads the level record (DTGlo), makes the instances from its
	descriptors, binds the logic module and either initialises the object
	and adds it to the world or, for an id with bit 0x800000, keeps it with
	its record in the game logic manager's template map, which then own it.
	A record that fails to load builds nothing.

	The record's elements are trusted by class only: instance descriptors
	and hot spots (class 63, id top byte 0x3f) are used, anything else
	leaves its place empty. 3D-object operations always go through
	Get3dObject, so another instance in one of the first places is never
	taken for a 3D object.

	Logic flags (muiLogicFlags) and clipping records are named in
	EFGameObjectFlags.h and EFObjClipping.h.

===============================================================================
*/
#ifndef EF_GAME_OBJECT_H
#define EF_GAME_OBJECT_H

#include "datatypes/containers/MLIST.h"
#include "framework/audio/EFNewSoundMgr.h"
#include "framework/core/world/EFGameObjectFlags.h"
#include "framework/core/world/EFGameObject_BC.h"
#include "framework/core/world/EFObjClipping.h"
#include "framework/graphics/animation/EFAnimationMgr.h"
#include "framework/graphics/effects/EFShadowParams.h"

class DTGlo;
class DTHotSpotDescriptor;
class DTStreamable;
class EF3dObj;
class EFBaseIDescriptor;

class EFGameObject : public EFGameObject_BC {
public:
							EFGameObject();
	// Releases sounds, notifications, the tree, the animation manager,
	// the magic data, then terminates and deletes the instances, last
	// first.
	virtual					~EFGameObject();

	static void *			Instanciate();

	s32						GetClassID() const override;
	const char *			GetClassName() const override;
	// Loads the level record and builds the object from it (see above);
	// the record's load result, 0 on success.
	s32						LoadFromStream( DTBasePersistStream & stream ) override;
	// Runs the logic's destructor and takes the object out of the
	// managers it joined; the world calls it before deleting the object.
	void					Terminate() override;
	// True once loading put the object in the world or the template map,
	// which then own it.
	bool					IsOwnedElsewhere() const override;

	using EFGameObject_BC::Initialize;

	// Loading stages.
	void					CreateInstances( DTGlo & record );
	void					Initialize( DTGlo & record );
	// Makes the object itself a collision shape from a hot spot.
	void					InitHotspot( DTHotSpotDescriptor * descriptor );

	// A new object with the same logic, sharing this one's resources; no
	// frame, flags or clipping yet. Null without memory.
	EFGameObject *			Duplicate();

	// Each 3D-object instance's clump into / out of the level's world
	// (exactly one) or the HUD's (several). Grids draw themselves and
	// never join either.
	void					AddInstancesToWorld();
	void					RemoveInstancesFromWorld();

	// The instance made from the first descriptor whose PUID is id, else
	// for a static-object id the world's static 3D object; null for none.
	EFInstance *			ResolveRefPUID( DTGlo & record, u32 id );

	// The first 3D object's visibility; -1 without one.
	void					SetGameObjectVisible( bool visible );
	s32						IsGameObjectVisible() const;

	// The 3D object at index, or null when index is not below muiNb3dObj
	// or the instance there is not drawable.
	EF3dObj *				Get3dObject( u32 index ) const;
	// The drawable classes, which count as 3D objects: 3D object, water
	// grid, ground-fog grid.
	static bool				Is3dObjectClass( s32 id );
	// EF_OWN_FRAME_JOINT: the object's frame. Else a joint of the first 3D
	// object's skeleton, by index or (from 0x10000) by bone id; null when
	// there is no such joint.
	DTFrame *				GetObjectFrame( u32 joint );
	// A joint of the first 3D object's skeleton only: by node index below
	// 0x10000, else by bone id; null without a hierarchy or such a joint.
	DTFrame *				GetBoneFrame( u32 joint ) const;
	// The magic-data copy when size is its size, else null.
	void *					GetMagicPreset( u32 size );

	void					SetClippingParams( EFClippingParams * params, u32 recursive );
	void					GetClippingParams( EFClippingParams * params ) const;
	void					SetProximityClippingParams( EFProximityClippingParams * params );
	void					GetProximityClippingParams( EFProximityClippingParams * params ) const;
	// Gives params to every game object of the subtree from node (node,
	// its children, then its next siblings).
	void					SetClippingParamsRecursive( EFPosData * node, EFClippingParams * params );
	// Puts a clip operations word in force, as the clipping pass does when
	// an object's word changes: animation clip mode, logic clip bit and
	// the body's clip flags. Nothing when the word is the one in force.
	void					ApplyClipOps( u32 ops );

	// Stores the new logic flags and applies what changed.
	void					SetLogicFlags( u32 flags );

	u32						muiUtilFlag;
	u32						muiOldClipFlags;
	EFAnimationMgr			moAnimationMgr;
	EFNewSoundMgr			moNewSoundMgr;
	u32						muiNb3dObj;
	u32						muiClipTests;
	EFObjClipping			moClipping;
	EFObjProximityClipping	moProximityClipping;
	u32						muiGroupID;
	u32						muiGroupMask;
	u32						muiLogicFlags;
	EFGameObject *			mpGameObjectPipeLineList[EF_WORLD_LIST_COUNT];
	EFInstance **			mppEFInstance;
	s32						muiNbInstance;
	_ShadowParams			mShadowData;
	void *					mpMagicDataBlock;
	u32						muiMagicDataSize;
	MLIST					moLinkObj;
	u8						mui8OrthonormalizeFrame;

	// Next object's mui8OrthonormalizeFrame; runs 0 to 127 and wraps.
	static u8				msui8OrthonormalizeFrameBase;

private:
	// The element as an instance descriptor, or null when it is none.
	static EFBaseIDescriptor *	AsDescriptor( DTStreamable * element );
	// The element as a hot spot, or null when it is none.
	static DTHotSpotDescriptor *	AsHotSpot( DTStreamable * element );
	void					InitializeFrame( const DTGlo & record );
	void					CopyMagicData( const DTGlo & record );
	void					InitializeNodes( DTGlo & record );
	void					AddShadowCasters();
	void					AddProjectorReceivers();

	bool					mbOwnedElsewhere;
};

#endif
