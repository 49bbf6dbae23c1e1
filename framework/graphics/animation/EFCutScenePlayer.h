/*
===============================================================================

	The cut-scene player (one object, EFCutScenePlayer::mInstance).

	Placeholder body: no scene ever plays, so Update finds the player idle
	and clears the engine controller's clock-slaving flag, as an idle
	player does.

===============================================================================
*/
#ifndef EF_CUT_SCENE_PLAYER_H
#define EF_CUT_SCENE_PLAYER_H

#include "datatypes/base/DTTypes.h"

class EFCutScenePlayer {
public:
							EFCutScenePlayer();

	void					Update( f32 dt );
	void					Terminate();

	// Non-zero when the object takes part in that cut scene.
	u32						IsInCutScene( u32 objectId, u32 cutScene );
	void					Pause( u32 pause );
	void					Play( u32 scene, u32 sound, u32 anchor );
	void					Skip();
	void					Stop();

	static EFCutScenePlayer	mInstance;

	// Cut-scene volume, 0.0 to 1.0, written by the game table.
	f32						mfCSVolume;

private:
	u32						mui32State;
};

#endif
