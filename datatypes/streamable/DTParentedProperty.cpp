#include "datatypes/streamable/DTParentedProperty.h"

#include "datatypes/persist/DTBasePersistStream.h"
#include "datatypes/streamable/DTIOStream.h"
#include "datatypes/streamable/DTLinkRecord.h"
#include "datatypes/streamable/DTLinker.h"

DTParentedProperty::DTParentedProperty( const char * name, const DTVariant & field, DTStreamable * parent )
	: DTProperty( name, field, false, 0 ), mpoParent( parent ) {
}

DTParentedProperty::DTParentedProperty( const char * name, DTStreamable ** field, DTStreamable * parent )
	: DTProperty( name, DTVariant(), false, 0 ), mpoParent( parent ) {
	SetType( DT_VARIANT_LINK );
	SetPointerValue( field );
}

DTParentedProperty::~DTParentedProperty() {
}

s32 DTParentedProperty::LoadFromStream( DTBasePersistStream & stream ) {
	if ( GetType() != DT_VARIANT_LINK ) {
		return DTProperty::LoadFromStream( stream );
	}
	return LoadLink( stream );
}

s32 DTParentedProperty::SaveToStream( DTBasePersistStream & ) {
	return DT_PERSIST_OK;
}

s32 DTParentedProperty::LoadLink( DTBasePersistStream & stream ) {
	s32 linkID = 0;
	const s32 result = stream.LoadData( linkID );
	if ( result != DT_PERSIST_OK ) {
		return result;
	}
	DTIOStream * opener = stream.GetStreamLoader();
	if ( opener == nullptr || opener->GetLinker() == nullptr ) {
		return DT_PERSIST_OK;
	}
	DTStreamable ** field = static_cast<DTStreamable **>( GetPointer() );
	DTStreamable * known = opener->GetLinker()->AddObjectToResolve( DTLinkRecord( field, mpoParent, linkID ) );
	if ( known != nullptr && field != nullptr ) {
		*field = known;
	}
	return DT_PERSIST_OK;
}
