/*
	Registration of the instance descriptors and the audio-environment
	record. They share this one source file so that they enter the class
	registry in a fixed order, which separate files' static initialisers
	would not guarantee.
*/
#include "datatypes/registry/DTDynamicInstanciator.h"
#include "framework/core/level/EF3dObjectIDescriptor.h"
#include "framework/core/level/EF3dStaticObjectIDescriptor.h"
#include "framework/core/level/EFAnimIDescriptor.h"
#include "framework/core/level/EFAudioEnvDescriptor.h"
#include "framework/core/level/EFCameraAnimIDescriptor.h"
#include "framework/core/level/EFCameraIdescriptor.h"
#include "framework/core/level/EFGroundFogGridIDescriptor.h"
#include "framework/core/level/EFHAnimationIDescriptor.h"
#include "framework/core/level/EFInvisibleIdescriptor.h"
#include "framework/core/level/EFLightAnimIDescriptor.h"
#include "framework/core/level/EFLightIDescriptor.h"
#include "framework/core/level/EFMorphAnimationIDescriptor.h"
#include "framework/core/level/EFSoundContainerDescriptor.h"
#include "framework/core/level/EFSoundIDescriptor.h"
#include "framework/core/level/EFTextureAnimationIDescriptor.h"
#include "framework/core/level/EFWaterGridIDescriptor.h"

DT_IMPLEMENT_DYNAMIC_CLASS( EFAudioEnvDescriptor, "EF_AUDIOENV_DESC", 60, IT_OBJECT );
DT_IMPLEMENT_DYNAMIC_CLASS( EF3dObjectIDescriptor, "3D_OBJECT_DESCR", 3, IT_OBJECT );
DT_IMPLEMENT_DYNAMIC_CLASS( EF3dStaticObjectIDescriptor, "3D_STATIC_OBJECT_DESCR", 2, IT_OBJECT );
DT_IMPLEMENT_DYNAMIC_CLASS( EFLightIDescriptor, "LIGHT_DESCR", 6, IT_OBJECT );
DT_IMPLEMENT_DYNAMIC_CLASS( EFCameraAnimIDescriptor, "DT_CAMERA_ANIM_DESCR", 85, IT_OBJECT );
DT_IMPLEMENT_DYNAMIC_CLASS( EFSoundIDescriptor, "SOUND_DESCR", 7, IT_OBJECT );
DT_IMPLEMENT_DYNAMIC_CLASS( EFTextureAnimationIDescriptor, "TEXTURE_ANIM_DESCR", 11, IT_OBJECT );
DT_IMPLEMENT_DYNAMIC_CLASS( EFMorphAnimationIDescriptor, "MORPH_ANIM_DESCR", 8, IT_OBJECT );
DT_IMPLEMENT_DYNAMIC_CLASS( EFAnimIDescriptor, "DT_ANIM_NODE_DESCR", 75, IT_OBJECT );
DT_IMPLEMENT_DYNAMIC_CLASS( EFLightAnimIDescriptor, "DT_LIGHT_ANIM_DESCR", 77, IT_OBJECT );
DT_IMPLEMENT_DYNAMIC_CLASS( EFHAnimationIDescriptor, "EI_HANIMATION_DESCR", 55, IT_OBJECT );
DT_IMPLEMENT_DYNAMIC_CLASS( EFCameraIdescriptor, "CAMERA_DESCR", 12, IT_OBJECT );
DT_IMPLEMENT_DYNAMIC_CLASS( EFInvisibleIdescriptor, "INVISIBLE_DESCR", 51, IT_OBJECT );
DT_IMPLEMENT_DYNAMIC_CLASS( EFSoundContainerDescriptor, "SOUND_CONTAINER_DESCR", 88, IT_OBJECT );
// The grids' descriptors, after all the others.
DT_IMPLEMENT_DYNAMIC_CLASS( EFWaterGridIDescriptor, "3D_OBJECT_WATER_DESCR", 92, IT_OBJECT );
DT_IMPLEMENT_DYNAMIC_CLASS( EFGroundFogGridIDescriptor, "3D_OBJECT_GROUNDFOG_DESCR", 93, IT_OBJECT );
