#include "datatypes/descriptor/DTAnimDescriptor.h"

#include "datatypes/property/DTVariant.h"

DTAnimDescriptor::DTAnimDescriptor() {
	ReserveMembers( 1 );
	RegisterMember( DTVariant( &moSoundEventIDs ), "SOUND_EVENT_IDS" );
}

DTAnimDescriptor::~DTAnimDescriptor() {
}
