#include "datatypes/DTTextureAnimationDescriptor.h"

#include "datatypes/DTVariant.h"

DTTextureAnimationDescriptor::DTTextureAnimationDescriptor() {
	ReserveMembers( 1 );
	RegisterMember( DTVariant( &moTextureFileName ), "TEXTURE_FILE_NAME" );
}

DTTextureAnimationDescriptor::~DTTextureAnimationDescriptor() {
}
