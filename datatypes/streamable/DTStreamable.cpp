#include "datatypes/streamable/DTStreamable.h"

#include "datatypes/persist/DTBasePersistStream.h"
#include "datatypes/registry/DTDynamicInstanciator.h"
#include "datatypes/persist/DTMemoryPersistStream.h"
#include "datatypes/streamable/DTParentedProperty.h"
#include "datatypes/property/DTProperty.h"
#include "datatypes/persist/DTTextPersistStream.h"

#include <cstring>
#include <new>

namespace {

constexpr const char * TEXT_BEGIN	= "BEGIN";
constexpr const char * TEXT_END		= "END";

} // namespace

DT_IMPLEMENT_DYNAMIC_CLASS( DTStreamable, "STREAMABLE", DT_STREAMABLE_CLASS_ID, IT_OBJECT );

DTStreamable::DTStreamable()
	: mvStreamableMembers( nullptr ), muiUID( DT_STREAMABLE_NO_UID ) {
	RegisterMember( DTVariant( &muiUID ), "UID" );
}

DTStreamable::~DTStreamable() {
	if ( mvStreamableMembers == nullptr ) {
		return;
	}
	for ( u32 i = 0; i < mvStreamableMembers->GetSize(); i++ ) {
		delete ( *mvStreamableMembers )[i];
	}
	delete mvStreamableMembers;
	mvStreamableMembers = nullptr;
}

s32 DTStreamable::GetClassID() const {
	return DT_STREAMABLE_CLASS_ID;
}

const char * DTStreamable::GetClassName() const {
	return "STREAMABLE";
}

s32 DTStreamable::Load( DTBasePersistStream & stream ) {
	s32 result = PrePersistStream( stream, true );
	if ( result == DT_PERSIST_OK ) {
		result = LoadFromStream( stream );
	} else if ( result != DT_PERSIST_SKIP_LOAD ) {
		return result;
	}
	PostPersistStream( stream, true );
	return result;
}

s32 DTStreamable::AsyncLoad( DTMemoryPersistStream & stream ) {
	s32 result = PrePersistStream( stream, true );
	if ( result == DT_PERSIST_OK ) {
		result = AsyncLoadFromStream( stream );
	} else if ( result != DT_PERSIST_SKIP_LOAD ) {
		return result;
	}
	PostPersistStream( stream, true );
	return result;
}

s32 DTStreamable::PrePersistStream( DTBasePersistStream &, const bool ) {
	return DT_PERSIST_OK;
}

s32 DTStreamable::PostPersistStream( DTBasePersistStream &, const bool loading ) {
	if ( loading && !HasLinkMember() ) {
		OnLoadFinish();
	}
	return DT_PERSIST_OK;
}

s32 DTStreamable::LoadFromStream( DTBasePersistStream & stream ) {
	if ( !stream.IsText() ) {
		return LoadPropertiesBinary( stream );
	}
	DTTextPersistStream & text = static_cast<DTTextPersistStream &>( stream );
	char word[DT_STREAMABLE_WORD_MAX];
	word[0] = '\0';
	s32 result = DT_PERSIST_OK;
	do {
		result = text.LoadString( word, DT_STREAMABLE_WORD_MAX );
	} while ( result == DT_PERSIST_OK && std::strcmp( word, TEXT_BEGIN ) != 0 );
	if ( result != DT_PERSIST_OK ) {
		return result;
	}
	result = LoadPropertiesText( word, stream );
	if ( result != DT_PERSIST_OK ) {
		return result;
	}
	// The character that ends the END word.
	char after = 0;
	return stream.LoadBinaryData( &after, 1 );
}

s32 DTStreamable::AsyncLoadFromStream( DTMemoryPersistStream & stream ) {
	return LoadPropertiesBinary( stream );
}

s32 DTStreamable::OnLoadFinish() {
	return DT_PERSIST_OK;
}

bool DTStreamable::IsLoader() {
	return false;
}

bool DTStreamable::IsOwnedElsewhere() const {
	return false;
}

s32 DTStreamable::Save( DTBasePersistStream & ) {
	return DT_PERSIST_OK;
}

s32 DTStreamable::SaveToStream( DTBasePersistStream & ) {
	return DT_PERSIST_OK;
}

s32 DTStreamable::LoadPropertiesText( char * word, DTBasePersistStream & stream ) {
	DTTextPersistStream & text = static_cast<DTTextPersistStream &>( stream );
	s32 result = DT_PERSIST_OK;
	while ( result == DT_PERSIST_OK && std::strcmp( word, TEXT_END ) != 0 ) {
		result = text.LoadString( word, DT_STREAMABLE_WORD_MAX );
		if ( result != DT_PERSIST_OK ) {
			break;
		}
		DTProperty * member = FindMember( word );
		if ( member != nullptr ) {
			result = member->LoadFromStream( stream );
		}
	}
	return result;
}

s32 DTStreamable::LoadPropertiesBinary( DTBasePersistStream & stream ) {
	for ( u32 i = 0; i < GetMemberCount(); i++ ) {
		const s32 result = ( *mvStreamableMembers )[i]->LoadFromStream( stream );
		if ( result != DT_PERSIST_OK ) {
			return result;
		}
	}
	return DT_PERSIST_OK;
}

s32 DTStreamable::SavePropertiesText( DTBasePersistStream & ) {
	return DT_PERSIST_OK;
}

s32 DTStreamable::SavePropertiesBinary( DTBasePersistStream & ) {
	return DT_PERSIST_OK;
}

s32 DTStreamable::RegisterMember( const DTVariant & field, const char * name ) {
	return AddMember( new ( std::nothrow ) DTProperty( name, field, false, 0 ) );
}

s32 DTStreamable::RegisterLinkMember( DTStreamable ** field, const char * name ) {
	return AddMember( new ( std::nothrow ) DTParentedProperty( name, field, this ) );
}

DTProperty * DTStreamable::FindMember( const char * name ) const {
	if ( name == nullptr ) {
		return nullptr;
	}
	for ( u32 i = 0; i < GetMemberCount(); i++ ) {
		DTProperty * member = ( *mvStreamableMembers )[i];
		if ( std::strcmp( member->GetName(), name ) == 0 ) {
			return member;
		}
	}
	return nullptr;
}

u32 DTStreamable::GetMemberCount() const {
	return mvStreamableMembers != nullptr ? mvStreamableMembers->GetSize() : 0;
}

DTProperty * DTStreamable::GetMember( const u32 index ) const {
	if ( index >= GetMemberCount() ) {
		return nullptr;
	}
	return ( *mvStreamableMembers )[index];
}

void DTStreamable::ReserveMembers( const u32 count ) {
	if ( !CreateMemberList() ) {
		return;
	}
	const u32 wanted = mvStreamableMembers->GetSize() + count;
	if ( wanted > mvStreamableMembers->GetCapacity() ) {
		mvStreamableMembers->Reserve( wanted );
	}
}

bool DTStreamable::CreateMemberList() {
	if ( mvStreamableMembers == nullptr ) {
		mvStreamableMembers = new ( std::nothrow ) DTVector<DTProperty *>( DT_STREAMABLE_MEMBERS_INITIAL, DT_STREAMABLE_MEMBERS_INITIAL );
	}
	return mvStreamableMembers != nullptr;
}

s32 DTStreamable::AddMember( DTProperty * property ) {
	if ( property == nullptr ) {
		return 0;
	}
	if ( !CreateMemberList() || !mvStreamableMembers->Append( property ) ) {
		delete property;
		return 0;
	}
	return 1;
}

bool DTStreamable::HasLinkMember() const {
	for ( u32 i = 0; i < GetMemberCount(); i++ ) {
		if ( ( *mvStreamableMembers )[i]->GetType() == DT_VARIANT_LINK ) {
			return true;
		}
	}
	return false;
}
