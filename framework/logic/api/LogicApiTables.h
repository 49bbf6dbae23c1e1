/*
===============================================================================

	The engine's side of the 24 tables the root table hands out: each
	table, its constant twin of not-initialised stubs, the stub whose
	first call sets the table's flag, a reader of that flag, and the fill
	function Init_cons calls.

===============================================================================
*/
#ifndef LOGIC_API_TABLES_H
#define LOGIC_API_TABLES_H

#include "framework/logic/api/LogicModuleAPI.h"

extern _api_stdlib		APIstdlib;
extern const _api_stdlib	APIstdlibStubs;
void				ApiStdLibNotInit();
bool				ApiStdLibNotInitDone();
void				Init_stdlib();

extern _api_input		APIinput;
extern const _api_input	APIinputStubs;
void				ApiInputNotInit();
bool				ApiInputNotInitDone();
void				Init_input();

extern _api_math		APImath;
extern const _api_math	APImathStubs;
void				ApiMathNotInit();
bool				ApiMathNotInitDone();
void				Init_math();

extern _api_gameobj		APIgameobj;
extern const _api_gameobj	APIgameobjStubs;
void				ApiGameObjNotInit();
bool				ApiGameObjNotInitDone();
void				Init_gameobj();

extern _api_extra		APIextra;
extern const _api_extra	APIextraStubs;
void				ApiExtraNotInit();
bool				ApiExtraNotInitDone();
void				Init_extra();

extern _api_anim		APIanim;
extern const _api_anim	APIanimStubs;
void				ApiAnimNotInit();
bool				ApiAnimNotInitDone();
void				Init_anim();

extern _api_camera		APIcamera;
extern const _api_camera	APIcameraStubs;
void				ApiCameraNotInit();
bool				ApiCameraNotInitDone();
void				Init_camera();

extern _api_light		APIlight;
extern const _api_light	APIlightStubs;
void				ApiLightNotInit();
bool				ApiLightNotInitDone();
void				Init_light();
// Lights made through the light table and not yet destroyed through it.
extern s32			giLightCount;

extern api_physic		APIphysic;
extern const api_physic	APIphysicStubs;
void				ApiPhysicNotInit();
bool				ApiPhysicNotInitDone();
void				Init_Physic();

extern _api_newSound		APInewSound;
extern const _api_newSound	APInewSoundStubs;
void				ApiNewSoundNotInit();
bool				ApiNewSoundNotInitDone();
void				Init_NewSound();

extern _api_particle		APIparticle;
extern const _api_particle	APIparticleStubs;
void				ApiParticleNotInit();
bool				ApiParticleNotInitDone();
void				Init_particle();

extern _api_projector		APIprojector;
extern const _api_projector	APIprojectorStubs;
void				ApiProjectorNotInit();
bool				ApiProjectorNotInitDone();
void				Init_projector();

extern _api_console		APIconsole;
extern const _api_console	APIconsoleStubs;
void				ApiConsoleNotInit();
bool				ApiConsoleNotInitDone();
void				Init_console();

extern _api_hud		APIhud;
extern const _api_hud	APIhudStubs;
void				ApiHudNotInit();
bool				ApiHudNotInitDone();
void				Init_hud();

extern _api_game		APIgame;
extern const _api_game	APIgameStubs;
void				ApiGameNotInit();
bool				ApiGameNotInitDone();
void				Init_game();

extern _api_qa		APIqa;
extern const _api_qa	APIqaStubs;
void				ApiQANotInit();
bool				ApiQANotInitDone();
void				Init_QA();

extern _api_fbeffects		APIfbeffects;
extern const _api_fbeffects	APIfbeffectsStubs;
void				ApiFBEffectsNotInit();
bool				ApiFBEffectsNotInitDone();
void				Init_fbeffects();

extern _api_graphics		APIgraphics;
extern const _api_graphics	APIgraphicsStubs;
void				ApiGraphicsNotInit();
bool				ApiGraphicsNotInitDone();
void				Init_graphics();

extern _api_karaoke		APIkaraoke;
extern const _api_karaoke	APIkaraokeStubs;
void				ApiKaraokeNotInit();
bool				ApiKaraokeNotInitDone();
void				Init_Karaoke();

extern _api_simpleinput		APIsimpleinput;
extern const _api_simpleinput	APIsimpleinputStubs;
void				ApiSimpleInputNotInit();
bool				ApiSimpleInputNotInitDone();
void				Init_SimpleInput();

extern _api_gbalink		APIgbalink;
extern const _api_gbalink	APIgbalinkStubs;
void				ApiGBALinkNotInit();
bool				ApiGBALinkNotInitDone();
void				Init_GBALink();
// The handheld link's callbacks; this console never calls them.
extern LogicGBALinkConnectionFn	gpfCBConnectfunc;
extern LogicGBALinkCompleteFn	gpfCBCompletefunc;

extern _api_loadsave		APILoadSave;
extern const _api_loadsave	APILoadSaveStubs;
void				ApiLoadSaveNotInit();
bool				ApiLoadSaveNotInitDone();
void				Init_loadsave();

extern _api_reglib		APIRegLib;
extern const _api_reglib	APIRegLibStubs;
void				ApiRegLibNotInit();
bool				ApiRegLibNotInitDone();
void				Init_reglib();

extern _api_spline		APIspline;
extern const _api_spline	APIsplineStubs;
void				ApiSplineLibNotInit();
bool				ApiSplineLibNotInitDone();
// Fills APIspline and returns it (slot 0 keeps its stub).
_api_spline *		InitSplineAPI();

// End of a level's lights: nothing to release on this console.
void				Stop_light();

#endif
