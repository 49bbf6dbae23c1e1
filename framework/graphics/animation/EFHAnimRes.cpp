#include "framework/graphics/animation/EFHAnimRes.h"

#include "datatypes/memory/MMMemory.h"
#include "datatypes/persist/DTBasePersistStream.h"
#include "datatypes/registry/DTDynamicInstanciator.h"
#include "framework/physics/EFCollisionPrimAnim.h"

#include <new>

DT_IMPLEMENT_DYNAMIC_CLASS( EFHAnimRes, "EF_HANIM_RES", EF_HANIM_RES_CLASS_ID, IT_OBJECT );

namespace {

// Bytes skipped at a time when a table's records cannot be used.
constexpr u32 SKIP_CHUNK = 256;

}

EFHAnimRes::EFHAnimRes()
	: mpCollPrimAnim( nullptr ), muiCommandHeader( 0 ), muiNbCommands( 0 ), muiCommandSize( 0 ), mpCommands( nullptr ) {
}

EFHAnimRes::~EFHAnimRes() {
	delete mpCollPrimAnim;
	MMFree( mpCommands );
}

s32 EFHAnimRes::GetClassID() const {
	return EF_HANIM_RES_CLASS_ID;
}

const char * EFHAnimRes::GetClassName() const {
	return "EF_HANIM_RES";
}

s32 EFHAnimRes::LoadBody( DTBasePersistStream & stream ) {
	s32 result = LoadAnim( stream );
	if ( result == 0 ) {
		result = LoadCollPrim( stream );
	}
	if ( result == 0 ) {
		result = LoadCallback( stream );
	}
	return result;
}

s32 EFHAnimRes::LoadCollPrim( DTBasePersistStream & stream ) {
	delete mpCollPrimAnim;
	mpCollPrimAnim = new ( std::nothrow ) EFCollisionPrimAnim;
	if ( mpCollPrimAnim == nullptr ) {
		return EF_ANIM_RES_BAD_BLOCK;
	}
	return mpCollPrimAnim->LoadFromStream( stream );
}

s32 EFHAnimRes::LoadCallback( DTBasePersistStream & stream ) {
	MMFree( mpCommands );
	mpCommands = nullptr;
	if ( stream.LoadData( muiCommandHeader ) != DT_PERSIST_OK || stream.LoadData( muiNbCommands ) != DT_PERSIST_OK ||
		 stream.LoadData( muiCommandSize ) != DT_PERSIST_OK ) {
		muiNbCommands = 0;
		return EF_ANIM_RES_BAD_BLOCK;
	}
	if ( muiNbCommands == 0 ) {
		return 0;
	}
	const u64 bytes = static_cast<u64>( muiNbCommands ) * muiCommandSize;
	if ( bytes > stream.GetBytesLeft() ) {
		muiNbCommands = 0;
		return EF_ANIM_RES_BAD_BLOCK;
	}
	if ( muiCommandSize != EF_HANIM_COMMAND_BYTES ) {
		char skipped[SKIP_CHUNK];
		for ( u64 left = bytes; left > 0; ) {
			const u32 chunk = left < SKIP_CHUNK ? static_cast<u32>( left ) : SKIP_CHUNK;
			stream.LoadBinaryData( skipped, static_cast<s32>( chunk ) );
			left -= chunk;
		}
		muiNbCommands = 0;
		return 0;
	}
	mpCommands = static_cast<EFHAnimCommand *>( MMMalloc( muiNbCommands * static_cast<u32>( sizeof( EFHAnimCommand ) ) ) );
	if ( mpCommands == nullptr ) {
		muiNbCommands = 0;
		return EF_ANIM_RES_BAD_BLOCK;
	}
	for ( u32 i = 0; i < muiNbCommands; i++ ) {
		stream.LoadData( mpCommands[i].mfTime );
		stream.LoadData( mpCommands[i].muiType );
		stream.LoadData( mpCommands[i].muiParameter );
	}
	return 0;
}
