/*
===============================================================================

	Portable half of the particle manager: the fixed pool of 600 particles
	(allocated once, recycled through the free list, last freed first
	reused), the particle types (each owning its emitters) and the id
	counters.

	The level's resource file feeds it twice through LoadFromStream: first
	the type container, then the emitter container; a third container is
	refused with -2. Terminate deletes every type and emitter and makes the
	next level's file load types again.

	Ids: loaded types 0x2D000000 | index in the file, loaded emitters
	0x2E000000 | the emitter count at that moment (so they repeat after
	deletions); run-time ones from counters that never restart.

===============================================================================
*/
#ifndef PL_MGR_BC_H
#define PL_MGR_BC_H

#include "datatypes/streamable/DTStreamable.h"
#include "framework/graphics/particles/PLEmitter.h"
#include "framework/graphics/particles/PLLinkList.h"
#include "framework/graphics/particles/PLParticle.h"
#include "framework/graphics/particles/PLType.h"

class DTEmitterContainerDescriptor;
class EFGameObject;

constexpr u32 PL_POOL_SIZE				= 600;
// Emitters drawn in one frame at most.
constexpr u32 PL_MAX_DRAWN_EMITTERS		= 1024;

constexpr u32 PL_LOADED_TYPE_ID			= 0x2D000000;
constexpr u32 PL_LOADED_EMITTER_ID		= 0x2E000000;
constexpr u32 PL_FIRST_RUNTIME_TYPE		= 0x2D800001;
constexpr u32 PL_FIRST_RUNTIME_EMITTER	= 0x2E800001;
constexpr u32 PL_ID_INDEX_MASK			= 0xFFFFFF;

// Results of the run-time operations.
constexpr s32 PL_OK						= 0;
constexpr s32 PL_UNKNOWN_TYPE			= 1;
constexpr s32 PL_UNKNOWN_EMITTER		= 2;
// A container that cannot be loaded.
constexpr s32 PL_LOAD_FAILED			= -2;

class PLMgr_BC : public DTStreamable {
public:
							PLMgr_BC();
	// Deletes every type and emitter and frees the pool.
							~PLMgr_BC() override;

	// Types on the first call, emitters on the second, -2 after.
	s32						LoadFromStream( DTBasePersistStream & stream ) override;
	// A type container: every record must be 216 bytes; -2 otherwise.
	s32						LoadTypes( DTBasePersistStream & stream );
	// Emitters of a container, hung under the owner's joints when an
	// owner is given; -2 at the first that cannot be made.
	s32						LoadEmitters( DTEmitterContainerDescriptor * desc, EFGameObject * owner );

	PLType_BC *				GetType( s32 id );
	// Names compare on their first 31 characters.
	PLType_BC *				GetType( const char * name );
	PLEmitter_BC *			GetEmitter( s32 id );
	// Names compare on 32 characters; the owner id must match too.
	PLEmitter_BC *			GetEmitter( const char * name, u32 owner );
	// The new type's id, 0 without memory.
	s32						ParticleTypeCreate();
	s32						ParticleTypeDelete( s32 id );
	// The new emitter's id; 1 for an unknown type, 0 without memory.
	s32						ParticleEmitterCreate( s32 type, EFGameObject * owner );
	s32						ParticleEmitterDelete( s32 id );
	s32						ParticleEmitterSetType( s32 emitter, s32 type );
	// Deletes the emitters attached to the object; their number.
	u32						DestroyAttachedEmitters( u32 objectId );
	// Emitters on a frame lent by lenderId take frames of their own.
	void					ReleaseLender( u32 lenderId );

	void					Update( f32 dt );
	void					Render();
	void					Terminate();

	PLLinkList<PLType> &	GetTypeList() { return moTypeList; }
	PLLinkList<PLParticle> &	GetFreeParticlesList() { return moFreeList; }
	u32						GetTypeCount() const { return mui32TypeCount; }
	u32						GetEmitterCount() const { return mui32EmitterCount; }
	u32						GetStatistic( u32 index ) const { return index < PL_STATISTICS ? mui32Statistics[index] : 0; }

private:
	u32						mui32LoadStage;
	PLParticle *			mpoPool;
	u32						mui32TypeCount;
	u32						mui32Statistics[PL_STATISTICS];
	u32						mui32EmitterCount;
	PLLinkList<PLType>		moTypeList;
	PLLinkList<PLParticle>	moFreeList;
	u32						mui32NextEmitterId;
	u32						mui32NextTypeId;

	// Unlinks the emitter from its type, frees its particles, deletes it.
	void					DeleteEmitter( PLEmitter * emitter );
	// Deletes the type's emitters, then the type.
	void					DeleteType( PLType * type );
	// The emitter of that id and its type.
	PLEmitter *				FindEmitter( s32 id, PLType ** type );
};

#endif
