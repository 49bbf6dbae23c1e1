#include "framework/graphics/animation/EFAnimRes.h"

#include "datatypes/base/DTByteOrder.h"
#include "datatypes/file/DTFile.h"
#include "datatypes/memory/MMMemory.h"
#include "datatypes/node/DTAnimHdr.h"
#include "datatypes/persist/DTBinaryPersistStream.h"
#include "datatypes/registry/DTDynamicInstanciator.h"
#include "framework/core/level/EFRessourcesMgr.h"

DT_IMPLEMENT_DYNAMIC_CLASS( EFAnimRes, "EF_ANIM_RES", EF_ANIM_RES_CLASS_ID, IT_OBJECT );

namespace {

// The id of the derived skeletal resource, which shares this block.
constexpr s32 HANIM_RES_CLASS_ID = 79;
// The header every block has: size, a word, duration, four bytes.
constexpr u32 HEADER_BYTES = 16;

}

EFAnimRes::EFAnimRes() : muiId( 0 ), muiUsers( 0 ), mpAnimData( nullptr ), mbRegistered( false ) {
}

EFAnimRes::~EFAnimRes() {
	MMVFree( mpAnimData );
	mpAnimData = nullptr;
}

s32 EFAnimRes::GetClassID() const {
	return EF_ANIM_RES_CLASS_ID;
}

const char * EFAnimRes::GetClassName() const {
	return "EF_ANIM_RES";
}

bool EFAnimRes::IsOwnedElsewhere() const {
	return mbRegistered;
}

const EFAnimRes * EFAnimRes::From( const EFRessource * ressource ) {
	if ( ressource == nullptr ) {
		return nullptr;
	}
	const s32 id = ressource->GetClassID();
	return id == EF_ANIM_RES_CLASS_ID || id == HANIM_RES_CLASS_ID ? static_cast<const EFAnimRes *>( ressource ) : nullptr;
}

u32 EFAnimRes::GetAnimDataSize() const {
	return mpAnimData != nullptr ? DTReadBE32( mpAnimData ) : 0;
}

s32 EFAnimRes::LoadPropertiesBinary( DTBasePersistStream & stream ) {
	stream.LoadData( muiId );
	stream.LoadData( muiUsers );
	const s32 result = LoadBody( stream );
	if ( result != 0 ) {
		return result;
	}
	Register();
	return 0;
}

s32 EFAnimRes::LoadPropertiesText( char *, DTBasePersistStream & stream ) {
	stream.LoadData( muiId );
	stream.LoadData( muiUsers );
	char name[EF_ANIM_RES_NAME_MAX + 1] = {};
	stream.LoadTextData( name, EF_ANIM_RES_NAME_MAX );
	DTFileHandle_ * const file = DTFopen( name, "rb" );
	if ( file == nullptr ) {
		return EF_ANIM_RES_BAD_BLOCK;
	}
	s32 result = 0;
	{
		DTBinaryPersistStream disc( file );
		result = LoadBody( disc );
	}
	DTFclose( file );
	if ( result != 0 ) {
		return result;
	}
	Register();
	return 0;
}

s32 EFAnimRes::LoadBody( DTBasePersistStream & stream ) {
	return LoadAnim( stream );
}

s32 EFAnimRes::LoadAnim( DTBasePersistStream & stream ) {
	MMVFree( mpAnimData );
	mpAnimData = nullptr;
	u32 size = 0;
	if ( stream.LoadData( size ) != DT_PERSIST_OK || size < HEADER_BYTES || size > 0x7FFFFFFFu ) {
		return EF_ANIM_RES_BAD_BLOCK;
	}
	u8 * const block = static_cast<u8 *>( MMVMalloc( size ) );
	if ( block == nullptr ) {
		return EF_ANIM_RES_BAD_BLOCK;
	}
	DTWriteBE32( block, size );
	DTAnimHdr header( block );
	if ( stream.LoadBinaryData( reinterpret_cast<char *>( block + 4 ), static_cast<s32>( size - 4 ) ) != DT_PERSIST_OK ||
		 !header.ResolvePointers( size ) ) {
		MMVFree( block );
		return EF_ANIM_RES_BAD_BLOCK;
	}
	mpAnimData = block;
	return 0;
}

void EFAnimRes::Register() {
	if ( gpoRessourcesMgr != nullptr ) {
		gpoRessourcesMgr->GetRessourceFactory().RegisterRessource( muiId, muiUsers, this );
		mbRegistered = true;
	}
}
