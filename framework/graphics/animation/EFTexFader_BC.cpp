#include "framework/graphics/animation/EFTexFader_BC.h"

#include "datatypes/memory/MMMemory.h"
#include "framework/graphics/EF3dObj.h"
#include "graphics3d/core/RwStrings.h"
#include "graphics3d/core/RwTexture.h"
#include "graphics3d/world/RpMaterial.h"

#include <cstring>

_TFEntry * EFTexFader_BC::FirstActiveAtomic = nullptr;

EFTexFader_BC::EFTexFader_BC() {
}

EFTexFader_BC::~EFTexFader_BC() {
	EFTexFader_BC::Terminate();
}

void EFTexFader_BC::Terminate() {
	while ( FirstActiveAtomic != nullptr ) {
		DelEntry( FirstActiveAtomic );
	}
}

_TFEntry * EFTexFader_BC::AddEntry() {
	_TFEntry * const entry = static_cast<_TFEntry *>( MMMalloc( sizeof( _TFEntry ) ) );
	if ( entry == nullptr ) {
		return nullptr;
	}
	std::memset( static_cast<void *>( entry ), 0, sizeof( _TFEntry ) );
	entry->mpNext = FirstActiveAtomic;
	if ( FirstActiveAtomic != nullptr ) {
		FirstActiveAtomic->mpPrevious = entry;
	}
	FirstActiveAtomic = entry;
	return entry;
}

void EFTexFader_BC::DelEntry( _TFEntry * entry ) {
	if ( entry == nullptr ) {
		return;
	}
	if ( entry->mpPrevious != nullptr ) {
		entry->mpPrevious->mpNext = entry->mpNext;
	} else {
		FirstActiveAtomic = entry->mpNext;
	}
	if ( entry->mpNext != nullptr ) {
		entry->mpNext->mpPrevious = entry->mpPrevious;
	}
	if ( entry->muiCounted != 0 && entry->mpObject != nullptr && entry->mpObject->muiTexFaderRefCount != 0 ) {
		entry->mpObject->muiTexFaderRefCount--;
	}
	MMFree( entry );
}

_TFEntry * EFTexFader_BC::FindEntry( const EF3dObj * object, const char * name ) {
	if ( name == nullptr ) {
		return nullptr;
	}
	for ( _TFEntry * entry = FirstActiveAtomic; entry != nullptr; entry = entry->mpNext ) {
		const RpMaterial * const material = entry->mpMaterial[0];
		if ( entry->mpObject == object && material != nullptr && material->texture != nullptr &&
			 StrICmp( material->texture->name, name ) == 0 ) {
			return entry;
		}
	}
	return nullptr;
}

void EFTexFader_BC::Pause( const EF3dObj * object, const u32 paused ) {
	for ( _TFEntry * entry = FirstActiveAtomic; entry != nullptr; entry = entry->mpNext ) {
		if ( entry->mpObject != object ) {
			continue;
		}
		if ( paused != 0 ) {
			entry->muiFlags |= EF_TF_PAUSED;
		} else {
			entry->muiFlags &= ~EF_TF_PAUSED;
		}
	}
}
