/*
===============================================================================

	Stored description of a set of particle emitters.

	Big-endian form: the descriptor members with "NB_EMI" (long), then
	"NB_EMI" emitters, each stored as DTEmitterDescriptor loads it. Nothing
	follows the members when "NB_EMI" is below 1 or the member load failed.

	Little-endian form, inside 3D object resources (LoadFromStreamSwap):
	the descriptor members big-endian as usual except "NB_EMI", which is a
	little-endian i32, then each emitter as little-endian 32-bit words:
	u32 UID, i32 "BONE_ID", the 12 floats of the four vectors, u32
	"PARTEMI_SIZE", u32 block length, then that many bytes of the block.

	An "NB_EMI" whose emitters cannot be in the bytes the stream still holds
	stops the load at once with DT_PERSIST_READ_PAST_END. In the
	little-endian form a block length larger than its "PARTEMI_SIZE" does
	too: nothing after it could be found again.

===============================================================================
*/
#ifndef DT_EMITTER_CONTAINER_DESCRIPTOR_H
#define DT_EMITTER_CONTAINER_DESCRIPTOR_H

#include "datatypes/descriptor/DTBaseInstanceDescriptor.h"
#include "datatypes/descriptor/DTEmitterDescriptor.h"
#include "datatypes/containers/DTVector.h"

// Least stored bytes of one emitter in either binary form: UID, bone id,
// 12 floats, block size and block count.
constexpr u32 DT_EMITTER_STORED_MIN		= 64;

class DTEmitterContainerDescriptor : public DTBaseInstanceDescriptor {
public:
							DTEmitterContainerDescriptor();
	virtual					~DTEmitterContainerDescriptor();

	// Copies "NB_EMI" and every emitter.
	DTEmitterContainerDescriptor &	operator=( const DTEmitterContainerDescriptor & other );

	// Members, then the emitters; the results added.
	s32						LoadFromStream( DTBasePersistStream & stream ) override;
	// The little-endian form.
	s32						LoadFromStreamSwap( DTBasePersistStream & stream );

	s32						mui32NbEmitters;
	DTVector<DTEmitterDescriptor>	moEmitters;

private:
	// Sizes the emitter list to "NB_EMI"; DT_PERSIST_READ_PAST_END when
	// that many emitters cannot be in the stream.
	s32						PrepareEmitters( const DTBasePersistStream & stream );
	// The members, with "NB_EMI" read as a little-endian i32.
	s32						LoadMembersSwap( DTBasePersistStream & stream );
	s32						LoadEmitterSwap( DTBasePersistStream & stream, DTEmitterDescriptor & emitter );
};

#endif
