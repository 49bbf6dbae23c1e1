/*
===============================================================================

	Stored description of one particle emitter: the joint it follows, its
	frame and its opaque emitter block.

	Stored after its UID: "BONE_ID" long, "POS", "LOOK_AT", "LOOK_UP",
	"LOOK_RIGHT" 3 floats each, "PARTEMI_SIZE" (the block's size) and
	"PARTEMI" (the block: an i32 count, then the bytes). An emitter is not
	an instance descriptor: it has no "PUID" or "REFPUID".

	The emitter sets inside 3D object resources store the same fields with
	little-endian 32-bit values; DTEmitterContainerDescriptor reads those.

===============================================================================
*/
#ifndef DT_EMITTER_DESCRIPTOR_H
#define DT_EMITTER_DESCRIPTOR_H

#include "datatypes/property/DTDummyVector3.h"
#include "datatypes/streamable/DTMagicData.h"
#include "datatypes/streamable/DTStreamable.h"

class DTEmitterDescriptor : public DTStreamable {
public:
							DTEmitterDescriptor();
							DTEmitterDescriptor( const DTEmitterDescriptor & other );
	virtual					~DTEmitterDescriptor();

	// Copies the UID, the bone id, the four vectors and a duplicate of the
	// block.
	DTEmitterDescriptor &	operator=( const DTEmitterDescriptor & other );
	void					Copy( const DTEmitterDescriptor & other );

	s32						mui32BoneId;
	DTDummyVector3			moPosition;
	DTDummyVector3			moLookAt;
	DTDummyVector3			moLookUp;
	DTDummyVector3			moLookRight;
	DTMagicData				moEmitter;
};

#endif
