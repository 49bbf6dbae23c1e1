#include "datatypes/descriptor/DTBaseInstanceDescriptor.h"

#include "datatypes/persist/DTBasePersistStream.h"
#include "datatypes/property/DTVariant.h"

DTBaseInstanceDescriptor::DTBaseInstanceDescriptor()
	: uiInstancePUID( 0 ), uiReferencePUID( -1 ) {
	ReserveMembers( 2 );
	RegisterMember( DTVariant( &uiInstancePUID ), "PUID" );
	RegisterMember( DTVariant( &uiReferencePUID ), "REFPUID" );
}

DTBaseInstanceDescriptor::~DTBaseInstanceDescriptor() {
}

s32 DTBaseInstanceDescriptor::SaveToBinaryStream( DTBasePersistStream & ) {
	return DT_PERSIST_OK;
}
