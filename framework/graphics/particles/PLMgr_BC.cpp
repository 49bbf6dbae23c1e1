#include "framework/graphics/particles/PLMgr_BC.h"

#include "datatypes/descriptor/DTEmitterContainerDescriptor.h"
#include "datatypes/descriptor/DTParticleContainerDescriptor.h"
#include "datatypes/maths/DTFrame.h"
#include "datatypes/memory/MMMemory.h"
#include "datatypes/persist/DTBasePersistStream.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/graphics/effects/EFFrameLender.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwRenderState.h"

#include <cstring>
#include <new>

namespace {

// Calls of LoadFromStream: the type container, then the emitter container.
constexpr u32 STAGE_TYPES		= 0;
constexpr u32 STAGE_EMITTERS	= 1;

// Characters of a type name that a lookup compares.
constexpr u32 TYPE_NAME_COMPARED	= 31;

constexpr RwRenderState RS_FOG_ENABLE	= 14;

} // namespace

PLMgr_BC::PLMgr_BC()
	: mui32LoadStage( 0 ),
	  mpoPool( nullptr ),
	  mui32TypeCount( 0 ),
	  mui32Statistics{},
	  mui32EmitterCount( 0 ),
	  mui32NextEmitterId( PL_FIRST_RUNTIME_EMITTER ),
	  mui32NextTypeId( PL_FIRST_RUNTIME_TYPE ) {
	void * const memory = MMMalloc( PL_POOL_SIZE * sizeof( PLParticle ) );
	if ( memory == nullptr ) {
		return;
	}
	mpoPool = static_cast<PLParticle *>( memory );
	for ( u32 i = 0; i < PL_POOL_SIZE; i++ ) {
		new ( &mpoPool[i] ) PLParticle;
	}
	moFreeList.ResetFreeList( mpoPool, PL_POOL_SIZE, sizeof( PLParticle ) );
}

PLMgr_BC::~PLMgr_BC() {
	Terminate();
	moFreeList.Reset();
	if ( mpoPool != nullptr ) {
		MMFree( mpoPool );
		mpoPool = nullptr;
	}
}

s32 PLMgr_BC::LoadFromStream( DTBasePersistStream & stream ) {
	const u32 stage = mui32LoadStage++;
	if ( stage == STAGE_TYPES ) {
		return LoadTypes( stream );
	}
	if ( stage != STAGE_EMITTERS ) {
		return PL_LOAD_FAILED;
	}
	DTEmitterContainerDescriptor desc;
	if ( desc.LoadFromStream( stream ) != DT_PERSIST_OK ) {
		return PL_LOAD_FAILED;
	}
	return LoadEmitters( &desc, nullptr );
}

s32 PLMgr_BC::LoadTypes( DTBasePersistStream & stream ) {
	DTParticleContainerDescriptor desc;
	if ( desc.LoadFromStream( stream ) != DT_PERSIST_OK || desc.miNbTypes < 0 ) {
		return PL_LOAD_FAILED;
	}
	const u32 count = static_cast<u32>( desc.miNbTypes );
	// The product, never a division: no record count may divide by zero.
	if ( static_cast<u64>( count ) * PL_TYPE_RECORD_SIZE != desc.moTypes.GetSize() ) {
		return PL_LOAD_FAILED;
	}
	const u8 * const block = desc.moTypes.GetBlock();
	if ( count != 0 && block == nullptr ) {
		return PL_LOAD_FAILED;
	}
	for ( u32 i = 0; i < count; i++ ) {
		PLType * const type = new ( std::nothrow ) PLType;
		if ( type == nullptr ) {
			return PL_LOAD_FAILED;
		}
		type->SetUID( PL_LOADED_TYPE_ID | ( i & PL_ID_INDEX_MASK ) );
		moTypeList.AddFirst( type );
		if ( type->Initialize( block + static_cast<u64>( i ) * PL_TYPE_RECORD_SIZE, PL_TYPE_RECORD_SIZE ) != 0 ) {
			// A half-made type must not stay on the list.
			moTypeList.Remove( nullptr, type );
			delete type;
			return PL_LOAD_FAILED;
		}
		mui32TypeCount++;
	}
	return PL_OK;
}

s32 PLMgr_BC::LoadEmitters( DTEmitterContainerDescriptor * desc, EFGameObject * owner ) {
	if ( desc == nullptr ) {
		return PL_LOAD_FAILED;
	}
	for ( u32 i = 0; i < desc->moEmitters.GetSize(); i++ ) {
		const DTEmitterDescriptor & stored = desc->moEmitters[i];
		PLEmitter * const emitter = new ( std::nothrow ) PLEmitter;
		if ( emitter == nullptr ) {
			return PL_LOAD_FAILED;
		}
		emitter->SetUID( PL_LOADED_EMITTER_ID | ( mui32EmitterCount & PL_ID_INDEX_MASK ) );
		DTFrame * const frame = emitter->CreateFrame( nullptr );
		if ( frame == nullptr ) {
			delete emitter;
			return PL_LOAD_FAILED;
		}
		if ( owner != nullptr ) {
			DTFrame * const joint = owner->GetObjectFrame( static_cast<u32>( stored.mui32BoneId ) );
			if ( joint == nullptr ) {
				delete emitter;
				return PL_LOAD_FAILED;
			}
			owner->AddChildFrame( joint, emitter, EF_ATTACH_SNAP );
		}
		// The stored frame is relative to the joint when there is an owner.
		RwMatrix & modelling = frame->GetRwFrame()->modelling;
		modelling.right = { stored.moLookRight.x, stored.moLookRight.y, stored.moLookRight.z };
		modelling.up = { stored.moLookUp.x, stored.moLookUp.y, stored.moLookUp.z };
		modelling.at = { stored.moLookAt.x, stored.moLookAt.y, stored.moLookAt.z };
		modelling.pos = { stored.moPosition.x, stored.moPosition.y, stored.moPosition.z };
		RwFrameUpdateObjects( frame->GetRwFrame() );
		if ( emitter->Initialize( stored.moEmitter.GetBlock(), stored.moEmitter.GetSize(), owner ) != 0 ) {
			delete emitter;
			return PL_LOAD_FAILED;
		}
		emitter->mpoType->moEmitters.AddFirst( emitter );
		mui32EmitterCount++;
	}
	return PL_OK;
}

PLType_BC * PLMgr_BC::GetType( const s32 id ) {
	for ( PLType * type = moTypeList.GetFirst(); type != nullptr; type = type->mpoNext ) {
		if ( type->GetUID() == static_cast<u32>( id ) ) {
			return type;
		}
	}
	return nullptr;
}

PLType_BC * PLMgr_BC::GetType( const char * name ) {
	if ( name == nullptr ) {
		return nullptr;
	}
	for ( PLType * type = moTypeList.GetFirst(); type != nullptr; type = type->mpoNext ) {
		if ( std::strncmp( type->mszName, name, TYPE_NAME_COMPARED ) == 0 ) {
			return type;
		}
	}
	return nullptr;
}

PLEmitter * PLMgr_BC::FindEmitter( const s32 id, PLType ** owner ) {
	for ( PLType * type = moTypeList.GetFirst(); type != nullptr; type = type->mpoNext ) {
		for ( PLEmitter * emitter = type->moEmitters.GetFirst(); emitter != nullptr; emitter = emitter->mpoNext ) {
			if ( emitter->GetUID() == static_cast<u32>( id ) ) {
				if ( owner != nullptr ) {
					*owner = type;
				}
				return emitter;
			}
		}
	}
	return nullptr;
}

PLEmitter_BC * PLMgr_BC::GetEmitter( const s32 id ) {
	return FindEmitter( id, nullptr );
}

PLEmitter_BC * PLMgr_BC::GetEmitter( const char * name, const u32 owner ) {
	if ( name == nullptr ) {
		return nullptr;
	}
	for ( PLType * type = moTypeList.GetFirst(); type != nullptr; type = type->mpoNext ) {
		for ( PLEmitter * emitter = type->moEmitters.GetFirst(); emitter != nullptr; emitter = emitter->mpoNext ) {
			if ( std::strncmp( emitter->mszName, name, PL_NAME_LENGTH ) == 0 && emitter->mui32OwnerId == owner ) {
				return emitter;
			}
		}
	}
	return nullptr;
}

s32 PLMgr_BC::ParticleTypeCreate() {
	PLType * const type = new ( std::nothrow ) PLType;
	if ( type == nullptr ) {
		return 0;
	}
	type->SetUID( mui32NextTypeId++ );
	moTypeList.AddFirst( type );
	mui32TypeCount++;
	return static_cast<s32>( type->GetUID() );
}

s32 PLMgr_BC::ParticleTypeDelete( const s32 id ) {
	PLType_BC * const type = GetType( id );
	if ( type == nullptr ) {
		return PL_UNKNOWN_TYPE;
	}
	for ( PLEmitter * emitter = static_cast<PLType *>( type )->moEmitters.GetFirst(); emitter != nullptr;
		  emitter = emitter->mpoNext ) {
		EFReleaseFrameLender( emitter->GetUID() );
	}
	DeleteType( static_cast<PLType *>( type ) );
	return PL_OK;
}

s32 PLMgr_BC::ParticleEmitterCreate( const s32 typeId, EFGameObject * owner ) {
	PLType * const type = static_cast<PLType *>( GetType( typeId ) );
	if ( type == nullptr ) {
		return PL_UNKNOWN_TYPE;
	}
	PLEmitter * const emitter = new ( std::nothrow ) PLEmitter;
	if ( emitter == nullptr ) {
		return 0;
	}
	emitter->SetUID( mui32NextEmitterId++ );
	emitter->mpoType = type;
	emitter->mui32OwnerId = owner != nullptr ? owner->GetUID() : 0;
	type->moEmitters.AddFirst( emitter );
	mui32EmitterCount++;
	return static_cast<s32>( emitter->GetUID() );
}

s32 PLMgr_BC::ParticleEmitterDelete( const s32 id ) {
	PLEmitter * const emitter = FindEmitter( id, nullptr );
	if ( emitter == nullptr ) {
		return PL_UNKNOWN_EMITTER;
	}
	EFReleaseFrameLender( emitter->GetUID() );
	DeleteEmitter( emitter );
	return PL_OK;
}

s32 PLMgr_BC::ParticleEmitterSetType( const s32 emitterId, const s32 typeId ) {
	PLType * const type = static_cast<PLType *>( GetType( typeId ) );
	if ( type == nullptr ) {
		return PL_UNKNOWN_TYPE;
	}
	PLType * from = nullptr;
	PLEmitter * const emitter = FindEmitter( emitterId, &from );
	if ( emitter == nullptr ) {
		return PL_UNKNOWN_EMITTER;
	}
	from->moEmitters.Remove( emitter );
	emitter->mpoType = type;
	type->moEmitters.AddFirst( emitter );
	return PL_OK;
}

u32 PLMgr_BC::DestroyAttachedEmitters( const u32 objectId ) {
	u32 count = 0;
	for ( PLType * type = moTypeList.GetFirst(); type != nullptr; type = type->mpoNext ) {
		PLEmitter * emitter = type->moEmitters.GetFirst();
		while ( emitter != nullptr ) {
			PLEmitter * const next = emitter->mpoNext;
			if ( emitter->mui32OwnerId == objectId ) {
				EFReleaseFrameLender( emitter->GetUID() );
				DeleteEmitter( emitter );
				count++;
			}
			emitter = next;
		}
	}
	return count;
}

void PLMgr_BC::DeleteEmitter( PLEmitter * emitter ) {
	if ( emitter->mpoType != nullptr ) {
		emitter->mpoType->moEmitters.Remove( emitter );
	}
	emitter->ReleaseParticlesFromList();
	delete emitter;
	mui32EmitterCount--;
}

void PLMgr_BC::DeleteType( PLType * type ) {
	while ( PLEmitter * const emitter = type->moEmitters.GetFirst() ) {
		DeleteEmitter( emitter );
	}
	moTypeList.Remove( type );
	mui32TypeCount--;
	delete type;
}

void PLMgr_BC::Update( const f32 dt ) {
	mui32Statistics[0] = mui32Statistics[1] = mui32Statistics[2] = 0;
	for ( PLType * type = moTypeList.GetFirst(); type != nullptr; type = type->mpoNext ) {
		type->Update( dt );
		for ( u32 i = 0; i < PL_STATISTICS; i++ ) {
			mui32Statistics[i] += type->mui32Statistics[i];
		}
	}
}

void PLMgr_BC::Terminate() {
	while ( PLType * const type = moTypeList.GetFirst() ) {
		DeleteType( type );
	}
	mui32TypeCount = 0;
	mui32EmitterCount = 0;
	mui32LoadStage = 0;
}

void PLMgr_BC::Render() {
	// Kept between frames so that a full frame costs no stack.
	static PLEmitter * drawn[PL_MAX_DRAWN_EMITTERS];
	u32 count = 0;
	for ( PLType * type = moTypeList.GetFirst(); type != nullptr; type = type->mpoNext ) {
		for ( PLEmitter * emitter = type->moEmitters.GetFirst(); emitter != nullptr && count < PL_MAX_DRAWN_EMITTERS;
			  emitter = emitter->mpoNext ) {
			const bool hidden = ( emitter->mui32ShapeFlags & PL_SHAPE_CLIPPED ) != 0 &&
								( emitter->mui32Flags & PL_EMITTER_NO_DRAW_CLIPPED ) != 0;
			if ( !hidden ) {
				drawn[count++] = emitter;
			}
		}
	}
	void * fog = nullptr;
	RwRenderStateGet( RS_FOG_ENABLE, &fog );
	RwRenderStateSet( RS_FOG_ENABLE, nullptr );
	PLEmitter::BeginRender();
	for ( u32 i = 0; i < count; i++ ) {
		drawn[i]->Render();
	}
	PLEmitter::EndRender();
	RwRenderStateSet( RS_FOG_ENABLE, fog );
}

void PLMgr_BC::ReleaseLender( const u32 lenderId ) {
	for ( PLType * type = moTypeList.GetFirst(); type != nullptr; type = type->mpoNext ) {
		for ( PLEmitter * emitter = type->moEmitters.GetFirst(); emitter != nullptr; emitter = emitter->mpoNext ) {
			emitter->ReleaseLender( lenderId );
		}
	}
}
