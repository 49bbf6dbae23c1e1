/*
===============================================================================

	The world (gpoWorldMgr): the game objects of the level. It registers
	them by id, answers every lookup of an object or positioned instance by
	id, runs their per-frame update, decides their visibility and draws
	them, pauses and resumes the level and empties itself between levels.
	It creates the light manager into gpoEFLightMgr and deletes it with
	itself.

	Objects are kept twice: in a map by id and in the object list (newest
	first, through moLinkObj). A later object of an id takes the map's
	entry; the one it displaced stays listed, paused and ended with the
	rest. Five per-frame lists run through the
	objects' mpGameObjectPipeLineList places: the logic, render, physics
	and animation lists, rebuilt by every clipping pass, and the deletion
	list. Each ends with a null link.

	Update, in order: animation and hierarchies of the animation list, the
	notification queue, the texture fader, the physics frame, particles,
	deferred deletions (body, map, Terminate, delete), the frame counter,
	and the render preparation that ends with the clipping pass.

	Clipping (EFWorldClipping.cpp): per object and active camera, view,
	distance band and nearness pick a clip operations word that sets the
	object's lists, clumps, animation, logic and body, and is told to the
	logic through deferred notifications delivered in the same frame.

	Drawing (EFWorldRender.cpp): opaque objects at once, transparent ones
	far to near in 64 buckets of at most 1024 entries a pass.

	Id kinds: 0x00 index into the running object's instances (sounds with
	a frame only), 0x0f the running object's 3D object, 0x10 camera, 0x12
	light, 0x1d projector, 0x2a game object (0x2a000000: the object whose
	logic runs), 0x2e particle emitter, 0x4c sprite, 0xff group query.
	Any lookup that names nothing gives null; so does a withdrawn object.

===============================================================================
*/
#ifndef EF_WORLD_H
#define EF_WORLD_H

#include "datatypes/containers/DTMap.h"
#include "datatypes/base/DTTypes.h"
#include "datatypes/containers/MLIST.h"
#include "framework/core/world/EFGameObjectFlags.h"
#include "framework/core/world/EFInstanceFlags.h"
#include "framework/core/world/EFRenderSortEntry.h"
#include "framework/core/world/EFWorldRW.h"

class EFCamera;
class EFGameObject;
class EFObjectRetriever;
class EFPosData;
union ObjectRetrieverParams;
struct RwMatrix;

// The id of the object whose logic is running.
constexpr u32 EF_RUNNING_OBJECT_ID		= 0x2a000000;
// Logic message of Pause: parameter 1 pausing, 0 resuming.
constexpr u32 EF_MSG_PAUSE				= 0x10000005;

constexpr u32 EF_RENDER_BUCKETS			= 64;
constexpr u32 EF_RENDER_SORT_ENTRIES	= 1024;

class EFWorld : public EFWorld_SP {
public:
	typedef DTMap<u32, EFGameObject *>	ObjectMap;

							EFWorld();
	// Clears gpoWorldMgr and deletes the light manager; objects still
	// registered are left to their owner.
							~EFWorld();

	void					Update( f32 dt );
	// Deletes every object (those whose logic registers a library last)
	// and empties the world for the next level.
	void					Terminate();
	// Hands every body to the physics manager for deletion.
	void					RemovePhysics();
	// Stores the state and tells the objects when it changes: those of the
	// map, then those a later object of their id displaced from it.
	void					Pause( bool pause );
	// The pause byte: non-zero while paused. Physics and particles read it.
	u8						GetPauseFlag() const { return mbPause; }
	// Updates completed since construction.
	u32						GetFrameCount() const { return muiFrameCount; }

	// --- Registry ---

	// Puts the object into the map under its id (replacing an entry) and
	// in front of the object list.
	void					AddGameObject( EFGameObject * object );
	// Takes the object of id off the list and out of the map; nothing is
	// deleted.
	void					RemoveGameObject( u32 id );
	// The object of id in the map, withdrawn or not; null for none.
	EFGameObject *			FindGameObject( u32 id ) const;
	// Walking the object list, newest first.
	EFGameObject *			GetFirstGameObject() const;
	static EFGameObject *	GetNextGameObject( const EFGameObject * object );
	const ObjectMap &		GetObjectMap() const { return moObjectMap; }
	// First object of a per-frame list (EF_WORLD_*_LIST); null past them.
	EFGameObject *			GetListHead( u32 place ) const;
	// Puts the object in front of the deletion list unless it is on it.
	void					RequestDeletion( EFGameObject * object );
	// Puts the object in front of the object list (enabled) or of the
	// disabled-object list. A disabled object stays in the map (found by
	// id, deleted as any other) but the clipping pass, which walks the
	// object list, no longer puts it on the per-frame lists.
	void					SetGameObjectEnabled( EFGameObject * object, bool enabled );
	// The clumps of the object's 3D objects into or out of the level's
	// library world; grids draw themselves and never join it.
	void					MoveClumps( EFGameObject & object, bool intoWorld );
	EFGameObject *			GetFirstDisabledGameObject() const;

	// --- Lookups ---

	// The object whose logic is running, or null when none runs.
	static EFGameObject *	GetRunningGameObject();
	// By id as described above; params carry a group query's cursor
	// (null: a fresh walk of the world's own).
	EFGameObject *			GetGameObject( u32 id, ObjectRetrieverParams * params = nullptr );
	EFPosData *				GetObjectPosData( u32 id );
	// A new retriever for a group query id over params; null for another
	// id, null params or without memory.
	EFObjectRetriever *		GetRetriever( u32 id, ObjectRetrieverParams * params ) const;
	void					DeleteRetriever( EFObjectRetriever * retriever ) const;

	// --- Clipping ---

	// Camera volumes, then ClipGameObjects.
	void					PrepareRender();
	void					ClipGameObjects();
	// 1 when the object is in the camera's view.
	u32						ClipFrustumTest( EFGameObject & object, EFCamera & camera );
	// The object's distance band 0 to 4 for the camera.
	u32						ClipDistanceTest( EFGameObject & object, EFCamera & camera );
	// 1 while the object is near its proximity target.
	u32						ClipProximityTest( EFGameObject & object );

	// --- Drawing, for the graphics manager's camera index ---

	void					RenderMap( const EFCamera & camera );
	void					RenderObjects( u32 camera );
	void					RenderDome( u32 camera );
	void					RenderMapTransparent();
	void					RenderObjectsTransparent( u32 camera );

	// Id of the object drawn as the sky dome; 0 for none.
	u32						muiSpecialObjectId;

private:
	// The per-frame lists a clipping pass builds.
	struct ClipLists {
		EFGameObject *		heads[EF_WORLD_DELETION_LIST];
	};

	// Takes the object out of the map (when the entry is its own) and off
	// the object list.
	void					UnregisterObject( EFGameObject * object );
	// Object to delete next: the first of the map, then of the list (objects
	// displaced from the map by one of the same id), or with skipLibraries
	// the first whose logic code registers no library; null for none.
	EFGameObject *			NextToTerminate( bool skipLibraries ) const;
	// Sets or clears the pause bits and sends the pause message, as the
	// object's logic flags ask.
	static void				PauseObject( EFGameObject & object, u8 state );
	void					UpdateAnimationList( f32 dt );
	void					DeleteRequestedObjects();
	void					ClipGameObject( EFGameObject & object, ClipLists & lists );
	void					NotifyClipChange( EFGameObject & object, u32 band, u32 inAny, u32 ops, u32 near );
	// Files a transparent 3D object into its bucket, far to near.
	void					AddSortEntry( EF3dObj & model, EFObjClipping & clipping, f32 depth );

	u8						mbPause;
	EFGameObject *			mpoProximityCache;
	EFRenderSortEntry *		mpBuckets[EF_RENDER_BUCKETS];
	EFRenderSortEntry		maSortEntries[EF_RENDER_SORT_ENTRIES];
	u32						muiSortEntryCount;
	// Inverse of the drawing camera's world matrix, made on first use.
	RwMatrix *				mpInvCameraMatrix;
	u32						muiFrameCount;
	MLIST					moObjectList;
	MLIST					moDisabledObjectList;
	EFGameObject *			mpListHeads[EF_WORLD_LIST_COUNT];
	ObjectMap				moObjectMap;
};

extern EFWorld *	gpoWorldMgr;

#endif
