/*
===============================================================================

	The level's HUD window tree ("EF_HUD_CONFIG", class 67). The binary
	form is two unused words and the root window's tree, loaded under the
	HUD manager's root; the text form is two words and a file name (at
	most 2048 characters) handed to the manager's Load. A tree that stops
	short gives DT_PERSIST_READ_PAST_END; what loaded before stays.

===============================================================================
*/
#ifndef EF_HUD_WINDOW_STREAMER_H
#define EF_HUD_WINDOW_STREAMER_H

#include "datatypes/streamable/DTStreamable.h"

constexpr s32 EF_HUD_WINDOW_STREAMER_CLASS_ID	= 67;
constexpr u32 EF_HUD_CONFIG_NAME_MAX			= 2048;

class EFHudWindowStreamer : public DTStreamable {
public:
	static void *			Instanciate();

	s32						GetClassID() const override;
	const char *			GetClassName() const override;

	s32						LoadPropertiesBinary( DTBasePersistStream & stream ) override;
	s32						LoadPropertiesText( char * word, DTBasePersistStream & stream ) override;
};

#endif
