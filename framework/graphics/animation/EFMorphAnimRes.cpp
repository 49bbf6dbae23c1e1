#include "framework/graphics/animation/EFMorphAnimRes.h"

#include "datatypes/persist/DTBasePersistStream.h"
#include "datatypes/registry/DTDynamicInstanciator.h"
#include "framework/core/level/EFRessourcesMgr.h"
#include "framework/graphics/ApMorphAnimation.h"
#include "framework/graphics/EFStreamConvert.h"

DT_IMPLEMENT_DYNAMIC_CLASS( EFMorphAnimRes, "MORPH_ANIM_INST", EF_MORPH_ANIM_RES_CLASS_ID, IT_OBJECT );

namespace {

constexpr s32 NAME_MAX = 2048;
constexpr s32 BAD_ANIMATION = -5;

}

EFMorphAnimRes::EFMorphAnimRes() : muiId( 0 ), muiUsers( 0 ), mpMorphAnim( nullptr ), mbRegistered( false ) {
}

EFMorphAnimRes::~EFMorphAnimRes() {
	if ( mpMorphAnim != nullptr ) {
		ApMorphAnimationDestroy( mpMorphAnim );
	}
}

s32 EFMorphAnimRes::GetClassID() const {
	return EF_MORPH_ANIM_RES_CLASS_ID;
}

const char * EFMorphAnimRes::GetClassName() const {
	return "MORPH_ANIM_INST";
}

bool EFMorphAnimRes::IsOwnedElsewhere() const {
	return mbRegistered;
}

s32 EFMorphAnimRes::LoadMorphAnim( RwStream * stream ) {
	ApMorphAnimationEx * animation = nullptr;
	if ( stream == nullptr || ApMorphAnimationStreamRead( stream, &animation ) == 0 || animation == nullptr ) {
		return BAD_ANIMATION;
	}
	const ApMorphAtomicEx * const first = animation->uiNumAtomics != 0 ? animation->ppAtomics[0] : nullptr;
	if ( first == nullptr || ( first->pVertex == nullptr && first->pNormal == nullptr && first->uiThird == 0 ) ) {
		ApMorphAnimationDestroy( animation );
		return BAD_ANIMATION;
	}
	mpMorphAnim = animation;
	return 0;
}

s32 EFMorphAnimRes::LoadThrough( DTBasePersistStream & stream, const char * name ) {
	RwStream * const converted = EFStreamConvert( &stream, name );
	const s32 result = LoadMorphAnim( converted );
	if ( converted != nullptr ) {
		EFStreamCloseConvert( converted, &stream );
	}
	// Registered with or without its animation.
	if ( gpoRessourcesMgr != nullptr ) {
		gpoRessourcesMgr->GetRessourceFactory().RegisterRessource( muiId, muiUsers, this );
		mbRegistered = true;
	}
	return result;
}

s32 EFMorphAnimRes::LoadPropertiesBinary( DTBasePersistStream & stream ) {
	stream.LoadData( muiId );
	stream.LoadData( muiUsers );
	return LoadThrough( stream, nullptr );
}

s32 EFMorphAnimRes::LoadPropertiesText( char *, DTBasePersistStream & stream ) {
	stream.LoadData( muiId );
	stream.LoadData( muiUsers );
	char name[NAME_MAX + 1] = {};
	stream.LoadTextData( name, NAME_MAX );
	return LoadThrough( stream, name );
}
