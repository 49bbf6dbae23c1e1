/*
===============================================================================

	Stored description of an audio environment: the descriptor members only.

===============================================================================
*/
#ifndef DT_AUDIO_ENV_DESCRIPTOR_H
#define DT_AUDIO_ENV_DESCRIPTOR_H

#include "datatypes/descriptor/DTBaseInstanceDescriptor.h"

class DTAudioEnvDescriptor : public DTBaseInstanceDescriptor {
public:
							DTAudioEnvDescriptor();
	virtual					~DTAudioEnvDescriptor();
};

#endif
