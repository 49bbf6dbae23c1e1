/*
===============================================================================

	Physics manager: the one object (EFPhysicMgr::moPhysicMgr, published
	in gpoPhysicMgr by its constructor) that owns the bodies of every
	positioned instance and the level's collision maps.

	Bodies live in two lists (the creator picks 0 or 1; 0 for game
	objects), newest first. Deletion is either at once (DestroyPhysic) or
	requested (DeletePhysic: the body is marked and goes at the next
	UpdateDeletedPhysic). Destroying a body clears its owner's mpoPhysic,
	but only while the body still names an owner: an owner that goes away
	first clears the body's owner reference.

	Behaviour modules get a handle from a table of 1024 slots: slot << 16
	| the slot's 16-bit serial, which runs from 1 to 65535 and wraps to 1,
	so 0 is never a handle. A slot is searched from the one after the
	last taken, wrapping to 0; a handle kept after its module died never
	matches again until the serial wraps.

	Update runs one physics frame in the work memory (_WorkMem), which it
	empties first: a record for each body of a game object on the world's
	object list that is neither off nor deleted, the three record pools
	(collision reports, pushes, contacts: a block of at most 128 records
	in work memory each, then up to 200 from the heap in blocks of 50),
	then two passes of pre-collision, collision and post-collision
	stages; the second pass has no records. Nothing of the frame outlives
	Update. A taker that finds its pool empty drops what it wanted to
	record (one message a frame says so).

	The frame number rises at every Update and is never reset; the world's
	pause byte is counted over consecutive frames. Behaviour modules read
	this bookkeeping.

	msui32GetPrimCount is the query mark: raised before every sphere query
	and ray query over all maps, so that a polygon met twice in one query
	is tested once. Queries do not nest.

===============================================================================
*/
#ifndef EF_PHYSIC_MGR_H
#define EF_PHYSIC_MGR_H

#include "datatypes/base/DTTypes.h"
#include "datatypes/containers/DTQuickPool.h"
#include "datatypes/containers/MLIST.h"
#include "framework/physics/EFCollisionReport.h"
#include "framework/physics/EFContactReport.h"
#include "framework/physics/EFPushRecord.h"
#include "framework/physics/EFRayIntersectOut.h"
#include "framework/physics/EFUpdatePhysicStruct.h"
#include "framework/physics/RayIntersectIn.h"

class EFCollisionMap;
class EFPhysic;
class EFPhysicData;
class EFPhysicModule;
struct EFGetPrimitivesInSphereData;

constexpr u32 EF_PHYSIC_LIST_COUNT		= 2;
constexpr u32 EF_MODULE_HANDLE_SLOTS	= 1024;
// Work-memory records of a pool, heap records and the heap block size.
constexpr u32 EF_POOL_WORK_RECORDS		= 128;
constexpr u32 EF_POOL_HEAP_RECORDS		= 200;
constexpr u32 EF_POOL_HEAP_STEP			= 50;

class EFPhysicMgr {
public:
	struct ModuleSlot {
		u32					mui32Serial;
		EFPhysicModule *	mpoModule;
	};

	// The one manager of the process.
	static EFPhysicMgr		moPhysicMgr;
	// The query mark.
	static u32				msui32GetPrimCount;

							EFPhysicMgr();
							~EFPhysicMgr();

							EFPhysicMgr( const EFPhysicMgr & ) = delete;
	EFPhysicMgr &			operator=( const EFPhysicMgr & ) = delete;

	// A new body for the owner at the front of body list 0 or 1; null for
	// another list or without memory.
	EFPhysic *				CreatePhysic( EFPhysicData * owner, u32 list );
	// Marks the body disabled and deleted; it goes at the next
	// UpdateDeletedPhysic. Null is ignored.
	void					DeletePhysic( EFPhysic * body );
	// Unlinks the body, clears its owner's mpoPhysic and deletes it. Null
	// is ignored.
	void					DestroyPhysic( EFPhysic * body );
	// Destroys every body of both lists that is marked deleted.
	void					UpdateDeletedPhysic();
	// Deletes every map and every body of both lists (clearing each
	// owner's mpoPhysic, since owners may outlive this) and resets the
	// frame bookkeeping except the frame number.
	void					Terminate();
	// Takes the map over, in front of the list; 1.
	u32						AddMap( EFCollisionMap * map );

	// One physics frame of dt seconds.
	void					Update( f32 dt );
	// The frame's records from memory on; the first byte after them.
	u8 *					InitFrame( EFUpdatePhysicStruct & frame, u8 * memory );
	void					PreCollisionStage( EFUpdatePhysicStruct & frame, u32 pass );
	void					CollisionStage( EFUpdatePhysicStruct & frame, u32 pass, void * memory, void * end );
	void					PostCollisionStage( EFUpdatePhysicStruct & frame );

	// The polygons of every map near the query's sphere; how many.
	u32						GetPrimitivesInSphere( EFGetPrimitivesInSphereData * query );
	// The nearest hit of the ray over maps and bodies.
	RayIntersectResult		RayIntersect( const RayIntersectIn & in, EFRayIntersectOut & out );

	// A handle for the module, 0 when every slot is taken.
	u32						TakeModuleHandle( EFPhysicModule * module );
	// Frees the handle's slot when the handle is still the module's.
	void					ReleaseModuleHandle( u32 handle, const EFPhysicModule * module );
	// The module of a live handle, or null.
	EFPhysicModule *		GetModule( u32 handle ) const;
	u32						GetModuleCount() const { return mui32ModuleCount; }

	// First body of a list (null for none or another list).
	EFPhysic *				GetFirstPhysic( u32 list ) const;
	EFCollisionMap *		GetFirstMap() const { return mpoMapList; }
	u32						GetCurrentSaveCount() const { return mui32FrameNumber; }
	u32						GetFlaggedFrameCount() const { return mui32FlaggedFrames; }
	u32						GetPreviousFrameFlag() const { return mui32PreviousFrameFlag; }
	u32						GetFrameFlag() const { return mui32FrameFlag; }

	// Records of the frame's pools; null when the pool is empty or not set
	// up (outside Update).
	EFCollisionReport *		TakeReport();
	EFPushRecord *			TakePush();
	EFContactReport *		TakeContact();
	void					GiveBackReport( EFCollisionReport * report );
	void					GiveBackPush( EFPushRecord * push );
	void					GiveBackContact( EFContactReport * contact );

	// bytes of the frame's work memory, aligned for any record; null when
	// the rest of it is shorter.
	void *					CarveWorkMemory( u32 bytes );
	// Where the next carve would start, with the bytes left from there
	// (null and 0 outside a frame).
	void *					PeekWorkMemory( u32 & bytesLeft ) const;
	// Hands back everything carved after memory (a point inside this
	// frame's work memory): a collision system reuses the same area for
	// each island.
	void					RewindWorkMemory( void * memory );
	// The most work memory the last frame used at once.
	u32						GetWorkMemoryHighWater() const { return mui32WorkHighWater; }

private:
	ModuleSlot				maModuleSlots[EF_MODULE_HANDLE_SLOTS];
	u32						mui32ModuleCursor;
	u32						mui32ModuleCount;
	EFCollisionMap *		mpoMapList;
	MLIST					maPhysicList[EF_PHYSIC_LIST_COUNT];
	u32						mui32FrameNumber;
	u32						mui32FlaggedFrames;
	u32						mui32PreviousFrameFlag;
	u32						mui32FrameFlag;
	DTQuickPool<EFCollisionReport>	moReportPool;
	DTQuickPool<EFPushRecord>		moPushPool;
	DTQuickPool<EFContactReport>	moContactPool;
	u32						mui32Reserved;
	// The frame's work memory: its start, the first free byte and the end.
	u8 *					mpu8WorkStart;
	u8 *					mpu8WorkCursor;
	u8 *					mpu8WorkEnd;
	u32						mui32WorkHighWater;
	// Whether this frame has said that a pool ran dry.
	u8						mbPoolDryReported;

	// Sets a pool up over the work memory from the cursor on, lending it
	// a block when at least one record fits.
	template< class T >
	void					SetUpPool( DTQuickPool<T> & pool );
	void					ReleasePools();
	void					ReportDryPool( const char * what );
	// Destroys body; its owner's mpoPhysic is cleared while the body names
	// the owner.
	void					Destroy( EFPhysic * body );
};

extern EFPhysicMgr *	gpoPhysicMgr;

#endif
