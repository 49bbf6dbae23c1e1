#include "framework/graphics/animation/EFTextureAnimRes.h"

#include "datatypes/file/DTFile.h"
#include "datatypes/memory/MMMemory.h"
#include "datatypes/persist/DTTextPersistStream.h"
#include "datatypes/registry/DTDynamicInstanciator.h"
#include "framework/core/level/EFRessourcesMgr.h"
#include "graphics3d/core/RwTexDictionary.h"
#include "graphics3d/core/RwTexture.h"

DT_IMPLEMENT_DYNAMIC_CLASS( EFTextureAnimRes, "EI_TEXTURE_ANIM_RES", EF_TEXTURE_ANIM_RES_CLASS_ID, IT_OBJECT );

namespace {

constexpr s32 NAME_MAX = 2048;
constexpr s32 BAD_TABLE = -5;
// Smallest stored key: the end time and an empty name's length word.
constexpr u32 MIN_KEY_BYTES = 8;

}

EFTextureAnimRes::EFTextureAnimRes() : muiId( 0 ), muiUsers( 0 ), muiNbKeys( 0 ), mpKeys( nullptr ), mbRegistered( false ) {
}

EFTextureAnimRes::~EFTextureAnimRes() {
	FreeKeys();
}

void EFTextureAnimRes::FreeKeys() {
	for ( u32 i = 0; i < muiNbKeys && mpKeys != nullptr; i++ ) {
		if ( mpKeys[i].mpTexture != nullptr ) {
			RwTextureDestroy( mpKeys[i].mpTexture );
		}
	}
	MMFree( mpKeys );
	mpKeys = nullptr;
	muiNbKeys = 0;
}

s32 EFTextureAnimRes::GetClassID() const {
	return EF_TEXTURE_ANIM_RES_CLASS_ID;
}

const char * EFTextureAnimRes::GetClassName() const {
	return "EI_TEXTURE_ANIM_RES";
}

bool EFTextureAnimRes::IsOwnedElsewhere() const {
	return mbRegistered;
}

f32 EFTextureAnimRes::GetDuration() const {
	return muiNbKeys != 0 && mpKeys != nullptr ? mpKeys[muiNbKeys - 1].mfEndTime : 0.0f;
}

s32 EFTextureAnimRes::LoadTextAnim( DTBasePersistStream & stream ) {
	FreeKeys();
	u32 count = 0;
	if ( stream.LoadData( count ) != DT_PERSIST_OK ) {
		return BAD_TABLE;
	}
	if ( count == 0 ) {
		return 0;
	}
	if ( !stream.IsText() && static_cast<u64>( count ) * MIN_KEY_BYTES > stream.GetBytesLeft() ) {
		return BAD_TABLE;
	}
	mpKeys = static_cast<EFTextureAnimKey *>( MMMalloc( count * static_cast<u32>( sizeof( EFTextureAnimKey ) ) ) );
	if ( mpKeys == nullptr ) {
		return BAD_TABLE;
	}
	char name[NAME_MAX + 1];
	for ( u32 i = 0; i < count; i++ ) {
		mpKeys[i] = { nullptr, 0.0f };
		muiNbKeys = i + 1;
		if ( stream.LoadData( mpKeys[i].mfEndTime ) != DT_PERSIST_OK ) {
			return BAD_TABLE;
		}
		if ( stream.IsText() ) {
			char separator = 0;
			stream.LoadData( separator );
		}
		name[0] = '\0';
		if ( stream.LoadTextData( name, NAME_MAX ) != DT_PERSIST_OK ) {
			return BAD_TABLE;
		}
		name[NAME_MAX] = '\0';
		RwTexDictionary * const dictionary = RwTexDictionaryGetCurrent();
		RwTexture * const texture = dictionary != nullptr ? RwTexDictionaryFindNamedTexture( dictionary, name ) : nullptr;
		if ( texture != nullptr ) {
			texture->refCount++;
			mpKeys[i].mpTexture = texture;
		}
	}
	return 0;
}

s32 EFTextureAnimRes::LoadPropertiesBinary( DTBasePersistStream & stream ) {
	stream.LoadData( muiId );
	stream.LoadData( muiUsers );
	return EndLoad( LoadTextAnim( stream ) );
}

s32 EFTextureAnimRes::LoadPropertiesText( char *, DTBasePersistStream & stream ) {
	stream.LoadData( muiId );
	stream.LoadData( muiUsers );
	char name[NAME_MAX + 1] = {};
	stream.LoadTextData( name, NAME_MAX );
	DTFileHandle_ * const file = DTFopen( name, "r" );
	if ( file == nullptr ) {
		return DT_PERSIST_OPEN_FAILED;
	}
	s32 result = 0;
	{
		DTTextPersistStream text( file );
		result = LoadTextAnim( text );
	}
	DTFclose( file );
	return EndLoad( result );
}

s32 EFTextureAnimRes::EndLoad( const s32 result ) {
	if ( result != 0 ) {
		FreeKeys();
		return result;
	}
	if ( gpoRessourcesMgr != nullptr ) {
		gpoRessourcesMgr->GetRessourceFactory().RegisterRessource( muiId, muiUsers, this );
		mbRegistered = true;
	}
	return 0;
}
