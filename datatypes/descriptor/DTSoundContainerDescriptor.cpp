#include "datatypes/descriptor/DTSoundContainerDescriptor.h"

#include "datatypes/property/DTVariant.h"

DTSoundContainerDescriptor::DTSoundContainerDescriptor()
	: mui32SoundEventID( 0 ) {
	ReserveMembers( 1 );
	RegisterMember( DTVariant( &mui32SoundEventID ), "SoundEventID" );
}

DTSoundContainerDescriptor::~DTSoundContainerDescriptor() {
}
