#include "framework/graphics/effects/EFBillboardMgr.h"

#include "datatypes/maths/DTVector3d.h"
#include "datatypes/memory/MMMemory.h"
#include "framework/graphics/EFTextureDict.h"
#include "graphics3d/world/RpMaterial.h"

#include <cstdint>
#include <new>

EFBillboardMgr* gpoBillboardMgr = nullptr;

u32 EFBillboardMgr::smuiNumBillBoards = 0;
u32 EFBillboardMgr::smuiCurrentGroupID = 0;

namespace {

constexpr size_t BYTES_PER_BILLBOARD = sizeof( DTVector3d ) + sizeof( u32 ) + sizeof( f32 ) + sizeof( f32 );

} // namespace

EFBillboardMgr::EFBillboardMgr() {
	mui32Budget = EF_BILLBOARD_BUDGET;
}

EFBillboardMgr::~EFBillboardMgr() {
	Terminate();
}

void EFBillboardMgr::FreeGroup( EFBillboardGroup* const group ) {
	MMFree( group->mpoPositions );
	if ( group->mpoMaterial != nullptr ) {
		RpMaterialDestroy( group->mpoMaterial );
	}
	delete group;
}

void EFBillboardMgr::Terminate() {
	while ( moGroups.mpFirst != nullptr ) {
		EFBillboardGroup* const group = moGroups.mpFirst;
		moGroups.mpFirst = group->mpoNext;
		FreeGroup( group );
	}
	moGroups.Reset();
	smuiNumBillBoards = 0;
	mui32Budget = EF_BILLBOARD_BUDGET;
	smuiCurrentGroupID = 0;
}

u32 EFBillboardMgr::AddBillboardGroup( const u32 count, char* texture, const u32 flags, DTVector3d** positions,
									   u32** colors, f32** rotations, f32** sizes ) {
	const u32 refused = 0xFFFFFFFF;
	if ( static_cast<u64>( smuiNumBillBoards ) + count > mui32Budget ) {
		return refused;
	}
	const size_t bytes = BYTES_PER_BILLBOARD * count;
	if ( bytes > UINT32_MAX ) {
		return refused;
	}
	EFTextureDict* const dictionary = EFTextureDict::GetInstance();
	RwTexture* const found = dictionary != nullptr && texture != nullptr ? dictionary->GetTexture( texture ) : nullptr;
	if ( found == nullptr ) {
		return refused;
	}
	u8* const block = static_cast<u8*>( MMMalloc( static_cast<u32>( bytes ) ) );
	EFBillboardGroup* const group = block != nullptr ? new ( std::nothrow ) EFBillboardGroup : nullptr;
	RpMaterial* const material = group != nullptr ? RpMaterialCreate() : nullptr;
	if ( material == nullptr ) {
		delete group;
		MMFree( block );
		return refused;
	}
	group->mui32Count = count;
	group->mpoPositions = reinterpret_cast<DTVector3d*>( block );
	group->mpui32Colors = reinterpret_cast<u32*>( block + sizeof( DTVector3d ) * count );
	group->mpfRotations = reinterpret_cast<f32*>( block + ( sizeof( DTVector3d ) + sizeof( u32 ) ) * count );
	group->mpfSizes = reinterpret_cast<f32*>( block + ( sizeof( DTVector3d ) + sizeof( u32 ) + sizeof( f32 ) ) * count );
	group->mpcTextureName = texture;
	group->mpoTexture = found;
	group->mpoMaterial = material;
	RpMaterialSetTexture( material, found );
	group->mui32Flags = flags;
	group->mui32Id = EF_BILLBOARD_ID_KIND | ( ++smuiCurrentGroupID & EF_BILLBOARD_ID_MASK );
	if ( moGroups.mpLast != nullptr ) {
		moGroups.mpLast->mpoNext = group;
	} else {
		moGroups.mpFirst = group;
	}
	moGroups.mpLast = group;
	smuiNumBillBoards += count;
	if ( positions != nullptr ) {
		*positions = group->mpoPositions;
	}
	if ( colors != nullptr ) {
		*colors = group->mpui32Colors;
	}
	if ( rotations != nullptr ) {
		*rotations = group->mpfRotations;
	}
	if ( sizes != nullptr ) {
		*sizes = group->mpfSizes;
	}
	return group->mui32Id;
}

EFBillboardGroup* EFBillboardMgr::Find( const u32 id ) const {
	for ( EFBillboardGroup* group = moGroups.mpFirst; group != nullptr; group = group->mpoNext ) {
		if ( group->mui32Id == id ) {
			return group;
		}
	}
	return nullptr;
}

s32 EFBillboardMgr::EnableBillboardGroupRender( const u32 id, const u32 enable ) {
	EFBillboardGroup* const group = Find( id );
	if ( group == nullptr ) {
		return -1;
	}
	group->mui32RenderEnabled = enable;
	return 0;
}

s32 EFBillboardMgr::RemoveBillboardGroup( const u32 id ) {
	EFBillboardGroup* previous = nullptr;
	for ( EFBillboardGroup* group = moGroups.mpFirst; group != nullptr; previous = group, group = group->mpoNext ) {
		if ( group->mui32Id != id ) {
			continue;
		}
		if ( previous != nullptr ) {
			previous->mpoNext = group->mpoNext;
		} else {
			moGroups.mpFirst = group->mpoNext;
		}
		if ( moGroups.mpLast == group ) {
			moGroups.mpLast = previous;
		}
		smuiNumBillBoards -= group->mui32Count;
		FreeGroup( group );
		return 0;
	}
	return -1;
}

void EFBillboardMgr::Render() {
	for ( EFBillboardGroup* group = moGroups.mpFirst; group != nullptr; group = group->mpoNext ) {
		if ( group->mui32RenderEnabled != 0 ) {
			group->Render();
		}
	}
}
