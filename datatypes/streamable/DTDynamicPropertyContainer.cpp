#include "datatypes/streamable/DTDynamicPropertyContainer.h"

#include "datatypes/persist/DTBasePersistStream.h"
#include "datatypes/registry/DTDynamicInstanciator.h"
#include "datatypes/persist/DTTextPersistStream.h"

#include <cstring>

namespace {

constexpr s32 LIST_END_ID			= 0;
constexpr const char * TEXT_END		= "END";

// A new object of the registry entry, or null when the entry cannot
// create objects for a loader.
DTStreamable * CreateObject( const DTDynamicInstanciator::TInstanceMap * entry ) {
	if ( entry == nullptr || entry->meInstanceType != IT_OBJECT || entry->mpfnFactory == nullptr ) {
		return nullptr;
	}
	return static_cast<DTStreamable *>( entry->mpfnFactory() );
}

// Containers being loaded, outermost included. Loads run on one thread.
u32 gNestingDepth = 0;

// Counts one more container being loaded for as long as it lives.
class NestingLevel {
public:
	NestingLevel() { gNestingDepth++; }
	~NestingLevel() { gNestingDepth--; }
	NestingLevel( const NestingLevel & ) = delete;
	NestingLevel & operator=( const NestingLevel & ) = delete;

	bool TooDeep() const { return gNestingDepth > DT_DYN_PROP_CONTAINER_MAX_DEPTH; }
};

} // namespace

DT_IMPLEMENT_DYNAMIC_CLASS( DTDynamicPropertyContainer, "DT_DYN_PROP_CONTAINER", DT_DYN_PROP_CONTAINER_CLASS_ID, IT_OBJECT );

DTDynamicPropertyContainer::DTDynamicPropertyContainer() {
}

DTDynamicPropertyContainer::~DTDynamicPropertyContainer() {
	Clear();
}

s32 DTDynamicPropertyContainer::GetClassID() const {
	return DT_DYN_PROP_CONTAINER_CLASS_ID;
}

const char * DTDynamicPropertyContainer::GetClassName() const {
	return "DT_DYN_PROP_CONTAINER";
}

s32 DTDynamicPropertyContainer::LoadFromStream( DTBasePersistStream & stream ) {
	Clear();
	return DTStreamable::LoadFromStream( stream );
}

s32 DTDynamicPropertyContainer::SaveToStream( DTBasePersistStream & ) {
	return DT_PERSIST_OK;
}

s32 DTDynamicPropertyContainer::LoadPropertiesBinary( DTBasePersistStream & stream ) {
	const NestingLevel level;
	if ( level.TooDeep() ) {
		return DT_PERSIST_READ_PAST_END;
	}
	return LoadEntriesBinary( stream );
}

s32 DTDynamicPropertyContainer::LoadEntriesBinary( DTBasePersistStream & stream ) {
	for ( ;; ) {
		s32 classID = LIST_END_ID;
		s32 result = stream.LoadData( classID );
		if ( result != DT_PERSIST_OK ) {
			return result;
		}
		if ( classID == LIST_END_ID ) {
			return DT_PERSIST_OK;
		}
		DTStreamable * object = CreateObject( DTDynamicInstanciator::GetInstance().GeInfoByClsID( classID ) );
		if ( object == nullptr ) {
			return DT_PERSIST_UNKNOWN_CLASS;
		}
		const u32 count = GetCount();
		AddClass( object );
		if ( GetCount() == count ) {
			return DT_PERSIST_READ_PAST_END;
		}
		result = object->Load( stream );
		ReleaseIfOwnedElsewhere( count );
		if ( result != DT_PERSIST_OK ) {
			return result;
		}
	}
}

s32 DTDynamicPropertyContainer::LoadPropertiesText( char *, DTBasePersistStream & stream ) {
	const NestingLevel level;
	if ( level.TooDeep() ) {
		return DT_PERSIST_READ_PAST_END;
	}
	return LoadEntriesText( stream );
}

s32 DTDynamicPropertyContainer::LoadEntriesText( DTBasePersistStream & stream ) {
	DTTextPersistStream & text = static_cast<DTTextPersistStream &>( stream );
	char word[DT_STREAMABLE_WORD_MAX];
	for ( ;; ) {
		s32 result = text.LoadString( word, DT_STREAMABLE_WORD_MAX );
		if ( result != DT_PERSIST_OK ) {
			return result;
		}
		if ( std::strcmp( word, TEXT_END ) == 0 ) {
			return DT_PERSIST_OK;
		}
		DTStreamable * object = CreateObject( DTDynamicInstanciator::GetInstance().GeInfoByClassName( word ) );
		if ( object == nullptr ) {
			return DT_PERSIST_UNKNOWN_CLASS;
		}
		result = object->Load( stream );
		// Kept even when its load failed, so that it is not lost.
		const u32 count = GetCount();
		AddClass( object );
		if ( GetCount() != count ) {
			ReleaseIfOwnedElsewhere( count );
		}
		if ( result != DT_PERSIST_OK ) {
			return result;
		}
	}
}

s32 DTDynamicPropertyContainer::SavePropertiesText( DTBasePersistStream & ) {
	return DT_PERSIST_OK;
}

s32 DTDynamicPropertyContainer::SavePropertiesBinary( DTBasePersistStream & ) {
	return DT_PERSIST_OK;
}

u32 DTDynamicPropertyContainer::AddClass( DTStreamable * object ) {
	const u32 index = moDynamicPropertyList.GetSize();
	if ( !moDynamicPropertyList.Append( Entry{ object, true } ) ) {
		// The container owns what it is given, even when it cannot hold it.
		delete object;
	}
	return index;
}

DTStreamable * DTDynamicPropertyContainer::GetAt( const u32 index ) const {
	return index < moDynamicPropertyList.GetSize() ? moDynamicPropertyList[index].mpoObject : nullptr;
}

void DTDynamicPropertyContainer::ReleaseIfOwnedElsewhere( const u32 index ) {
	Entry & entry = moDynamicPropertyList[index];
	if ( entry.mpoObject->IsOwnedElsewhere() ) {
		entry.mbOwned = false;
	}
}

s32 DTDynamicPropertyContainer::Clear() {
	for ( u32 i = 0; i < moDynamicPropertyList.GetSize(); i++ ) {
		const Entry & entry = moDynamicPropertyList[i];
		if ( entry.mbOwned ) {
			delete entry.mpoObject;
		}
	}
	moDynamicPropertyList.Reserve( 0 );
	return DT_PERSIST_OK;
}
