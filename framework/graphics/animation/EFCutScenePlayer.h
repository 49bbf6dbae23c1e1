/*
===============================================================================

	The cut-scene player ("EF_CUTSCENE", class 82): one engine-wide
	object, EFCutScenePlayer::mInstance, which the class's factory hands
	to the level loader, so loading a cut-scene record fills it.

	A cut scene is a list of (game object, animation) pairs played
	together, once, for a duration, with an optional sound and a camera
	the camera-animation nodes among them drive. Listeners hear
	NO_CUTSCENE with {index, 1} at the start and {index, 0} at the end;
	the end is processed one update after the time reaches the duration
	(three after a Skip). The stream volume is exchanged with mfCSVolume
	at the start and again at the end (or Stop), so a cut scene plays at
	the cut-scene volume and the game's volume comes back after it; a
	Skip exchanges nothing.

	The table (big-endian, one block): u16, u16, u16 total size, u16
	count, count u32 offsets of the entries from the block's start; an
	entry is {u32 pair count, f32 duration, pairs of {u32 object id, u32
	animation id}}. Offsets stay offsets: every one and every entry's
	pairs are checked against the block when it loads, and a table that
	fails gives -5 and keeps nothing. Without a table nothing plays and
	no object is in a cut scene.

	The player is never deleted by the loader (IsOwnedElsewhere) and
	survives a failed load without a table.

===============================================================================
*/
#ifndef EF_CUT_SCENE_PLAYER_H
#define EF_CUT_SCENE_PLAYER_H

#include "datatypes/streamable/DTStreamable.h"

constexpr s32 EF_CUT_SCENE_CLASS_ID		= 82;

// muiCSFlags.
constexpr u32 EF_CS_PLAYING				= 0x1;
constexpr u32 EF_CS_PAUSED				= 0x2;
constexpr u32 EF_CS_SKIPPED				= 0x4;
constexpr u32 EF_CS_END_REACHED			= 0x8;

// A camera id that gives the cut scene no camera.
constexpr u32 EF_CS_NO_CAMERA			= 0x7FFFFFFF;
constexpr u32 EF_CS_NONE				= 0xFFFFFFFF;

// Longest table file name of the text form.
constexpr s32 EF_CS_NAME_MAX			= 2048;
// A table that does not hold together.
constexpr s32 EF_CS_BAD_TABLE			= -5;

// The record NO_CUTSCENE carries.
struct EFCutSceneNotice {
	u32						muiIndex;
	// 1 at the start, 0 at the end.
	u32						muiStarted;
};

class EFCutScenePlayer : public DTStreamable {
public:
							EFCutScenePlayer();
	// Frees the table.
	virtual					~EFCutScenePlayer();

	// The single player.
	static void *			Instanciate();
	s32						GetClassID() const override;
	const char *			GetClassName() const override;
	// The loader never deletes the single player.
	bool					IsOwnedElsewhere() const override;

	s32						LoadPropertiesBinary( DTBasePersistStream & stream ) override;
	// -3 when the named file cannot be opened.
	s32						LoadPropertiesText( char * word, DTBasePersistStream & stream ) override;
	// Replaces the table; 0, or -5 with no table.
	s32						LoadFile( DTBasePersistStream & stream );

	void					Update( f32 dt );
	void					Terminate();

	// Non-zero when the object takes part in that cut scene.
	u32						IsInCutScene( u32 objectId, u32 cutScene );
	void					Pause( u32 pause );
	void					Play( u32 scene, u32 sound, u32 camera );
	void					Skip();
	void					Stop();

	// Number of cut scenes in the table, 0 without one.
	u32						GetCount() const;

	static EFCutScenePlayer	mInstance;

	u32						muiCSFlags;
	f32						mfCSTime;
	f32						mfCSDuration;
	u32						muiCSIndex;
	u8 *					mpCSTable;
	u32						muiCSSoundHandle;
	// Cut-scene volume, 0.0 to 1.0; holds the game's while one plays.
	f32						mfCSVolume;
	u32						muiCSSoundId;
	u32						muiCSCameraId;

private:
	// Entry index's pair count and first pair, null without it.
	const u8 *				GetEntry( u32 index, u32 & pairs ) const;
	// Stops every animation of the current cut scene.
	void					StopAnimations();
	void					StopCutSceneSound();
	void					ExchangeVolume();
	void					NotifyListeners( u32 started );

	EFCutSceneNotice		moNotice;
};

#endif
