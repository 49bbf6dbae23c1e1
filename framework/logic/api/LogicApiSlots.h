/*
===============================================================================

	Every slot of every table, in slot order, handed to a visitor: the one
	list of slot names the engine keeps besides the layouts themselves. It
	builds the stub twins (each slot gets the stub of its own signature)
	and lets tests call every slot.

===============================================================================
*/
#ifndef LOGIC_API_SLOTS_H
#define LOGIC_API_SLOTS_H

#include "framework/logic/api/LogicModuleAPI.h"

template< class Visitor >
constexpr void VisitSlots( _api_cons & table, Visitor && visit ) {
	visit( table.SetExternalFunction );
	visit( table.GetGlobalData );
	visit( table.GetLocalData );
	visit( table.SetInitialState );
	visit( table.SetMessageFunction );
	visit( table.TO_DELETE );
	visit( table.GetApiStdlib );
	visit( table.GetApiInput );
	visit( table.GetApiMath );
	visit( table.GetApiGameObj );
	visit( table.GetApiExtra );
	visit( table.GetApiAnim );
	visit( table.GetApiCamera );
	visit( table.GetApiLight );
	visit( table.GetApiPhysic );
	visit( table.GetApiNewSound );
	visit( table.GetApiParticle );
	visit( table.GetApiProjector );
	visit( table.GetApiConsole );
	visit( table.GetApiHUD );
	visit( table.GetApiGame );
	visit( table.GetApiQA );
	visit( table.GetApiFBEffects );
	visit( table.GetApiGraphics );
	visit( table.GetApiKaraoke );
	visit( table.GetApiSimpleInput );
	visit( table.GetApiGBALink );
	visit( table.SetExternalFunctionExt );
	visit( table.GetApiCustom );
	visit( table.GetApiLoadSave );
	visit( table.GetExternalFunction );
	visit( table.GetApiRegLib );
	visit( table.GetApiSpline );
	for ( auto & slot : table.Pad ) {
		visit( slot );
	}
}

template< class Visitor >
constexpr void VisitSlots( _api_stdlib & table, Visitor && visit ) {
	visit( table.abs );
	visit( table.atof );
	visit( table.atoi );
	visit( table.atol );
	visit( table.div );
	visit( table.labs );
	visit( table.ldiv );
	visit( table.mblen );
	visit( table.rand );
	visit( table.srand );
	visit( table.strtod );
	visit( table.strtol );
	visit( table.strtoul );
	for ( auto & slot : table.Pad ) {
		visit( slot );
	}
}

template< class Visitor >
constexpr void VisitSlots( _api_input & table, Visitor && visit ) {
	visit( table.InputConfigAdd );
	visit( table.InputConfigRemove );
	visit( table.InputConfigRemoveAll );
	visit( table.InputConfigSetState );
	visit( table.InputConfigGetState );
	visit( table.InputConfigActivate );
	visit( table.InputActionAdd );
	visit( table.InputActionRemove );
	visit( table.InputActionRemoveAll );
	visit( table.InputActionGetAnalogX );
	visit( table.InputActionGetAnalogY );
	visit( table.InputActionGetDigitalInfo );
	visit( table.InputActionIsPush );
	visit( table.InputActionIsRelease );
	visit( table.InputActionTogglePush );
	visit( table.InputActionToggleRelease );
	visit( table.InputContextAdd );
	visit( table.InputContextRemove );
	visit( table.InputContextRemoveAll );
	visit( table.InputContextSetState );
	visit( table.InputContextGetState );
	visit( table.InputContextSetFlags );
	visit( table.InputContextGetFlags );
	visit( table.InputContextSetCallback );
	visit( table.InputDeviceAdd );
	visit( table.InputDeviceRemove );
	visit( table.InputDeviceRemoveAll );
	visit( table.InputEnableVibration );
	visit( table.InputSetVibration );
	visit( table.ConfigIsActive );
	visit( table.InputErrorRegisterNotify );
	visit( table.InputSetActivePort );
	for ( auto & slot : table.Pad ) {
		visit( slot );
	}
}

template< class Visitor >
constexpr void VisitSlots( _api_math & table, Visitor && visit ) {
	visit( table.acos );
	visit( table.asin );
	visit( table.atan );
	visit( table.atan2 );
	visit( table.ceil );
	visit( table.cos );
	visit( table.cosh );
	visit( table.exp );
	visit( table.fabs );
	visit( table.floor );
	visit( table.fmod );
	visit( table.frexp );
	visit( table.ldexp );
	visit( table.log );
	visit( table.log10 );
	visit( table.modf );
	visit( table.pow );
	visit( table.sin );
	visit( table.sinh );
	visit( table.sqrt );
	visit( table.tan );
	visit( table.tanh );
	visit( table.CVectorSet );
	visit( table.CVectorAdd );
	visit( table.CVectorSub );
	visit( table.CVectorDot );
	visit( table.CVectorCross );
	visit( table.CVectorLength );
	visit( table.CVectorNegate );
	visit( table.CVectorNormalize );
	visit( table.CVectorScale );
	visit( table.CVectorAreEqualEpsilon );
	visit( table.CVectorGetAngleTo );
	visit( table.CVectorProjectOnto );
	visit( table.CVectorProjectOntoPlane );
	visit( table.CVectorGetDirectionAndDistanceTo );
	visit( table.CMatGetWorkMatrix );
	visit( table.CMatSetIdentity );
	visit( table.CMatCreateIdentity );
	visit( table.CMatDestroy );
	visit( table.CMatGetPos );
	visit( table.CMatGetAt );
	visit( table.CMatGetUp );
	visit( table.CMatGetRight );
	visit( table.CMatSetPos );
	visit( table.CMatSetAt );
	visit( table.CMatSetUp );
	visit( table.CMatSetRight );
	visit( table.CMatInvert );
	visit( table.CMatTransformVector );
	visit( table.CMatTransformPoint );
	visit( table.CMatMultiply );
	visit( table.CMatRotate );
	visit( table.CMatUniformScale );
	visit( table.CMatAlignAtWith );
	visit( table.CMatAlignUpWith );
	visit( table.CMatLookAtAlignUp );
	visit( table.CMatLookUpAlignAt );
	visit( table.CMatCopy );
	visit( table.CMatCopyFromArray );
	for ( auto & slot : table.Pad ) {
		visit( slot );
	}
}

template< class Visitor >
constexpr void VisitSlots( _api_gameobj & table, Visitor && visit ) {
	visit( table.ChangeState );
	visit( table.SetNextState );
	visit( table.Break );
	visit( table.Sleep );
	visit( table.SetLogicFlag );
	visit( table.ResetLogicFlag );
	visit( table.LaunchLatant );
	visit( table.SetGameObjectVisible );
	visit( table.IsGameObjectVisible );
	visit( table.KillObject );
	visit( table.GetGameBuffer );
	visit( table.FreeGameBuffer );
	visit( table.SetContextFlag );
	visit( table.GetContextFlag );
	visit( table.GetCurrentStateID );
	visit( table.SendMessageTo );
	visit( table.GetID );
	visit( table.GetMagicPreset );
	visit( table.RegisterNotify );
	visit( table.UnregisterNotify );
	visit( table.UnregisterAllNotify );
	visit( table.AddChild );
	visit( table.LeaveParent );
	visit( table.RemoveAllChildren );
	visit( table.GetPosition );
	visit( table.GetLookAt );
	visit( table.GetLookUp );
	visit( table.GetLookRight );
	visit( table.Translate );
	visit( table.SetTranslation );
	visit( table.Rotate );
	visit( table.RotateAround );
	visit( table.SetRotation );
	visit( table.AlignAtWith );
	visit( table.LookAtAlignUp );
	visit( table.LookUpAlignAt );
	visit( table.TakeOrientation );
	visit( table.SetIdentity );
	visit( table.TransformVector );
	visit( table.InvertTransformVector );
	visit( table.GetBoundingSphereRadius );
	visit( table.GetPhysicBSphereRadius );
	visit( table.GetRenderBSphere );
	visit( table.SetRenderBSphere );
	visit( table.SetGroupBitMask );
	visit( table.SetGroupID );
	visit( table.GetGroupBitMask );
	visit( table.GetGroupID );
	visit( table.EnableClipping );
	visit( table.EnableObject );
	visit( table.GetClippingParams );
	visit( table.SetClippingParams );
	visit( table.GetProximityClippingParams );
	visit( table.SetProximityClippingParams );
	visit( table.SetShadowParams );
	visit( table.GetShadowParams );
	visit( table.DisplayInfo );
	visit( table.SetTranslationSafe );
	visit( table.SetLMat );
	visit( table.GetLMat );
	visit( table.GetWMat );
	visit( table.SetBoneLMat );
	visit( table.GetBoneLMat );
	visit( table.GetBoneWMat );
	visit( table.SetTransparentPriority );
	visit( table.GetTransparentPriority );
	visit( table.IsInCutScene );
	visit( table.GetNbJoints );
	visit( table.SetTransparentType );
	for ( auto & slot : table.Pad ) {
		visit( slot );
	}
}

template< class Visitor >
constexpr void VisitSlots( _api_extra & table, Visitor && visit ) {
	visit( table.printf );
	visit( table.sprintf );
	visit( table.TimerReset );
	visit( table.TimerGetTime );
	visit( table.TimerCreate );
	visit( table.TimerDestroy );
	visit( table.TimerRegisterNotify );
	visit( table.TimerUnregisterNotify );
	visit( table.TimerPause );
	visit( table.TimerSetFrequency );
	visit( table.TimerGetFrequency );
	visit( table.WaypointGetPos );
	visit( table.WaypointSetPos );
	visit( table.WaypointGetNb );
	visit( table.DebuggerBreakHook );
	visit( table.SwitchInfoTopic );
	visit( table.SwitchInfoPage );
	visit( table.DemoLoopIsPlaying );
	visit( table.DemoLoopRegisterNotify );
	visit( table.DemoLoopPlay );
	visit( table.DemoLoopRecord );
	visit( table.DemoLoopStop );
	visit( table.CreateSlideShow );
	visit( table.SlideNext );
	visit( table.SlidePrev );
	visit( table.SlideReadyRegisterNotify );
	visit( table.DebugLine );
	visit( table.DebugPoint );
	visit( table.Assert );
	visit( table.PrintClippingStats );
	for ( auto & slot : table.Pad ) {
		visit( slot );
	}
}

template< class Visitor >
constexpr void VisitSlots( _api_anim & table, Visitor && visit ) {
	visit( table.Play );
	visit( table.PlayBlend );
	visit( table.ChangeBlendParams );
	visit( table.Stop );
	visit( table.StopAll );
	visit( table.GetTime );
	visit( table.SetTime );
	visit( table.GetSpeed );
	visit( table.SetSpeed );
	visit( table.GetDuration );
	visit( table.Connect );
	visit( table.GetGroup );
	visit( table.BeginTree );
	visit( table.PlayBlendConnect );
	visit( table.EndTree );
	visit( table.IsAnimPlaying );
	for ( auto & slot : table.Pad ) {
		visit( slot );
	}
}

template< class Visitor >
constexpr void VisitSlots( _api_camera & table, Visitor && visit ) {
	visit( table.Create );
	visit( table.Activate );
	visit( table.SetPriority );
	visit( table.GetPriority );
	visit( table.SetFarClipPlane );
	visit( table.SetNearClipPlane );
	visit( table.SetClearColor );
	visit( table.SetClearMode );
	visit( table.SetProjection );
	visit( table.GetViewWindow );
	visit( table.SetViewWindow );
	visit( table.SetDisplayArea );
	visit( table.GetDisplayArea );
	visit( table.SetRenderFlag );
	visit( table.SetFOV );
	visit( table.TakeSnapShot );
	visit( table.ProjectOntoFrustum );
	visit( table.IsSphereInFrustrum );
	visit( table.EnableFog );
	visit( table.SetFogType );
	visit( table.GetFogType );
	visit( table.SetFogColor );
	visit( table.SetFogDensity );
	visit( table.GetFogDensity );
	visit( table.SetFogDistance );
	visit( table.GetFogDistance );
	visit( table.Destroy );
	for ( auto & slot : table.Pad ) {
		visit( slot );
	}
}

template< class Visitor >
constexpr void VisitSlots( _api_light & table, Visitor && visit ) {
	visit( table.CreateLight );
	visit( table.SetFlag );
	visit( table.GetFlag );
	visit( table.SetColor );
	visit( table.GetColor );
	visit( table.SetRadius );
	visit( table.GetRadius );
	visit( table.SetConeAngle );
	visit( table.GetConeAngle );
	visit( table.SetVisible );
	visit( table.IsVisible );
	visit( table.DestroyLight );
	visit( table.SetName );
	visit( table.GetName );
	for ( auto & slot : table.Pad ) {
		visit( slot );
	}
}

template< class Visitor >
constexpr void VisitSlots( api_physic & table, Visitor && visit ) {
	visit( table.Create );
	visit( table.SetFlags );
	visit( table.ResetFlags );
	visit( table.GetFlags );
	visit( table.GetPhysicState );
	visit( table.SetFallingSpeed );
	visit( table.SetFallingDelay );
	visit( table.SetStateChangeNotifyBits );
	visit( table.ResetStateChangeNotifyBits );
	visit( table.SetStateChangeNotifyValue );
	visit( table.SetFriction );
	visit( table.GetFloorAttribs );
	visit( table.GetFloorNormal );
	visit( table.SetHardness );
	visit( table.SetRebound );
	visit( table.SetPriority );
	visit( table.SetWeight );
	visit( table.Impulse );
	visit( table.SetVelocity );
	visit( table.GetVelocity );
	visit( table.JumpOnCoor );
	visit( table.CheckRayIntersection );
	visit( table.GetDM );
	visit( table.DMAdd );
	visit( table.DMDoAction );
	visit( table.DMGetData );
	visit( table.DMGetParams );
	visit( table.DMSetParams );
	visit( table.DMSetContextMask );
	visit( table.DMSetActive );
	visit( table.DMIsActive );
	visit( table.DMGetState );
	visit( table.DMSetStateChangeNotifyBits );
	visit( table.DMResetStateChangeNotifyBits );
	visit( table.DMSetStateBits );
	visit( table.DMResetStateBits );
	visit( table.SetPrimaryPrim );
	visit( table.SetSpherePrimaryVolume );
	visit( table.PrimSetIntAttribBits );
	visit( table.PrimGetIntAttrib );
	visit( table.PrimResetIntAttribBits );
	visit( table.PrimSetIntAttribValue );
	visit( table.PrimUnlockIntAttrib );
	visit( table.PrimGetOffsetFromJoint );
	visit( table.PrimSetOffsetFromJoint );
	for ( auto & slot : table.Pad ) {
		visit( slot );
	}
}

template< class Visitor >
constexpr void VisitSlots( _api_newSound & table, Visitor && visit ) {
	visit( table.Play );
	visit( table.Stop );
	visit( table.SetListener );
	visit( table.Pause );
	visit( table.Resume );
	visit( table.SetVolumeByGroup );
	visit( table.SetGlobalVolume );
	visit( table.GetGlobalVolume );
	visit( table.SetFXVolume );
	visit( table.GetFXVolume );
	visit( table.SetStreamVolume );
	visit( table.GetStreamVolume );
	visit( table.SetSoundEventMasterVolume );
	visit( table.GetSoundEventMasterVolume );
	visit( table.IsPlaying );
	visit( table.SetPitch );
	visit( table.ParentSoundEventToJoint );
	visit( table.SetDSPEffectForGroup );
	visit( table.SetDSPEffectMasterVolume );
	visit( table.SetGCDSPEffect );
	visit( table.SetMode );
	visit( table.SetVideoVolume );
	visit( table.GetVideoVolume );
	for ( auto & slot : table.Pad ) {
		visit( slot );
	}
}

template< class Visitor >
constexpr void VisitSlots( _api_particle & table, Visitor && visit ) {
	visit( table.TypeConvertNameToID );
	visit( table.TypeCreate );
	visit( table.TypeDestroy );
	visit( table.TypeSetInter );
	visit( table.TypeSetInt );
	visit( table.TypeGetInt );
	visit( table.TypeSetFloat );
	visit( table.TypeSetVec );
	visit( table.TypeSetTexture );
	visit( table.TypeSetName );
	visit( table.TypeGetName );
	visit( table.EmitterConvertNameToID );
	visit( table.EmitterCreate );
	visit( table.EmitterDestroy );
	visit( table.EmitterSetType );
	visit( table.EmitterStart );
	visit( table.EmitterStartAt );
	visit( table.EmitterStop );
	visit( table.EmitterReset );
	visit( table.EmitterSetCollisionPlane );
	visit( table.EmitterSetJoint );
	visit( table.EmitterSetFlags );
	visit( table.EmitterGetFlags );
	visit( table.EmitterSetBox );
	visit( table.EmitterGetBBox );
	visit( table.EmitterSetBSphereRadius );
	visit( table.EmitterSetMessageHandlerID );
	visit( table.CreateBillboardGroup );
	visit( table.RenderBillboardGroup );
	visit( table.DestroyBillboardGroup );
	visit( table.SetMaxNumBillboards );
	for ( auto & slot : table.Pad ) {
		visit( slot );
	}
}

template< class Visitor >
constexpr void VisitSlots( _api_projector & table, Visitor && visit ) {
	visit( table.CreateProjector );
	visit( table.DestroyProjector );
	visit( table.SetTexture );
	visit( table.SetBlendingFunction );
	visit( table.SetSize );
	visit( table.SetColor );
	visit( table.SetReachDistance );
	visit( table.SetProjectionType );
	visit( table.SetVisible );
	for ( auto & slot : table.Pad ) {
		visit( slot );
	}
}

template< class Visitor >
constexpr void VisitSlots( _api_console & table, Visitor && visit ) {
	visit( table.SetPrimDisplayFlag );
	visit( table.GetPrimDisplayFlag );
	for ( auto & slot : table.Pad ) {
		visit( slot );
	}
}

template< class Visitor >
constexpr void VisitSlots( _api_hud & table, Visitor && visit ) {
	visit( table.WindowAdd );
	visit( table.WindowDelete );
	visit( table.WindowSetFlags );
	visit( table.WindowResetFlags );
	visit( table.WindowGetFlags );
	visit( table.WindowSetTimer );
	visit( table.WindowSetPos );
	visit( table.WindowSetDims );
	visit( table.WindowSetGrid );
	visit( table.WindowSetBackGround );
	visit( table.WindowSetName );
	visit( table.WindowFind );
	visit( table.WindowSetID );
	visit( table.WindowGetNextSibling );
	visit( table.WindowGetFirstChild );
	visit( table.WindowGetParent );
	visit( table.WindowGetPos );
	visit( table.WindowGetDims );
	visit( table.WindowSaveAll );
	visit( table.Window2DSetTexture );
	visit( table.Window2DSetTiling );
	visit( table.Window2DSetColor );
	visit( table.Window3DSetObj );
	visit( table.TextWindowSetText );
	visit( table.TextWindowSetMargins );
	visit( table.TextWindowSetStringToDisplay );
	visit( table.TextWindowSetColor );
	visit( table.TextWindowSetFont );
	visit( table.TextSetCurrentLanguage );
	visit( table.TextGetCurrentLanguage );
	visit( table.ColorCopy );
	visit( table.ColorBlend );
	visit( table.ColorFadeStart );
	visit( table.ColorFadeStop );
	visit( table.ColorIsFading );
	visit( table.TextWindowSetString );
	for ( auto & slot : table.Pad ) {
		visit( slot );
	}
}

template< class Visitor >
constexpr void VisitSlots( _api_game & table, Visitor && visit ) {
	visit( table.Pause );
	visit( table.LoadLevel );
	visit( table.PlayCutScene );
	visit( table.PlugNPlayCutScene );
	visit( table.StopCutScene );
	visit( table.SkipCutScene );
	visit( table.SetCutSceneVolume );
	visit( table.SetGameLanguage );
	visit( table.GetGameLanguage );
	visit( table.GetFrameDeltaTime );
	visit( table.GetExternalFileData );
	visit( table.DoesLevelFileExist );
	visit( table.QuitGame );
	visit( table.GetDemoLaunchData );
	visit( table.GetSystemRegion );
	for ( auto & slot : table.Pad ) {
		visit( slot );
	}
}

template< class Visitor >
constexpr void VisitSlots( _api_qa & table, Visitor && visit ) {
	visit( table.AppendToFile );
	visit( table.SendToOstrelle );
	visit( table.CloseGame );
	for ( auto & slot : table.Pad ) {
		visit( slot );
	}
}

template< class Visitor >
constexpr void VisitSlots( _api_fbeffects & table, Visitor && visit ) {
	visit( table.Create );
	visit( table.Destroy );
	visit( table.Enable );
	visit( table.SetParams );
	visit( table.GetParams );
	for ( auto & slot : table.Pad ) {
		visit( slot );
	}
}

template< class Visitor >
constexpr void VisitSlots( _api_graphics & table, Visitor && visit ) {
	visit( table.SpriteAddGroup );
	visit( table.SpriteRemoveGroup );
	visit( table.SpriteSetGroupFlags );
	visit( table.SpriteGetGroupFlags );
	visit( table.SpriteSetGroupTexture );
	visit( table.SpriteSetGroupBlendMode );
	visit( table.SpriteSetGroupColor );
	visit( table.SpriteGroupAddSprite );
	visit( table.SpriteGroupRemoveSprite );
	visit( table.StartPaletteTransition );
	visit( table.TexFaderPlay );
	visit( table.MTCreateSystem );
	visit( table.MTDestroySystem );
	visit( table.MTSetFrequency );
	visit( table.MTSetLifeSpan );
	visit( table.MTSetJoint );
	visit( table.MTSetPosition );
	visit( table.MTSetRGB );
	visit( table.MTStart );
	visit( table.MTStopTracking );
	visit( table.MTStopDraw );
	visit( table.LensFlareActivate );
	visit( table.LensFlareSetSunPosition );
	visit( table.LensFlareAttachSunPositionToObject );
	visit( table.LensFlareSetParams );
	visit( table.SetGameObjBlendColor );
	visit( table.DrawLines );
	visit( table.TexFaderPause );
	visit( table.DoCrappyXboxSpewHackThingy );
	visit( table.DoStupidXboxShadowHack );
}

template< class Visitor >
constexpr void VisitSlots( _api_karaoke & table, Visitor && visit ) {
	visit( table.AcquireMicrophone );
	visit( table.ReleaseMicrophone );
	visit( table.ActivateMicrophone );
	visit( table.DeactivateMicrophone );
	visit( table.GetAverageVolume );
	visit( table.GetMaxVolume );
	visit( table.SetTVOutputVolumeFromMicrophone );
	visit( table.GetTVOutputVolumeFromMicrophone );
	visit( table.SetMicrophoneRecordingVolume );
	visit( table.GetMicrophoneRecordingVolume );
	visit( table.SetHeadsetPlaybackVolume );
	visit( table.GetHeadsetPlaybackVolume );
	for ( auto & slot : table.Pad ) {
		visit( slot );
	}
}

template< class Visitor >
constexpr void VisitSlots( _api_simpleinput & table, Visitor && visit ) {
	visit( table.ConfigCreate );
	visit( table.ConfigEnable );
	visit( table.ConfigDisable );
	visit( table.ConfigIsEnabled );
	visit( table.ConfigSetState );
	visit( table.ConfigGetState );
	visit( table.AddLeftJoystickCallback );
	visit( table.AddLeftJoystickIdleCallback );
	visit( table.AddRightJoystickCallback );
	visit( table.AddRightJoystickIdleCallback );
	visit( table.AddButtonDownCallback );
	visit( table.AddButtonUpCallback );
	visit( table.AddButtonPushedCallback );
	visit( table.AddButtonReleasedCallback );
	visit( table.AddKeyboardDownCallback );
	visit( table.AddKeyboardUpCallback );
	visit( table.AddKeyboardPushedCallback );
	visit( table.AddKeyboardReleasedCallback );
	visit( table.ActionSetState );
	visit( table.ActionGetState );
	visit( table.AddLeftJoystickCallback_Port );
	visit( table.AddLeftJoystickIdleCallback_Port );
	visit( table.AddRightJoystickCallback_Port );
	visit( table.AddRightJoystickIdleCallback_Port );
	visit( table.AddButtonDownCallback_Port );
	visit( table.AddButtonUpCallback_Port );
	visit( table.AddButtonPushedCallback_Port );
	visit( table.AddButtonReleasedCallback_Port );
}

template< class Visitor >
constexpr void VisitSlots( _api_gbalink & table, Visitor && visit ) {
	visit( table.SetConnectionCallBack );
	visit( table.SetCompleteCallBack );
	visit( table.SendData );
	visit( table.GetData );
	for ( auto & slot : table.Pad ) {
		visit( slot );
	}
}

template< class Visitor >
constexpr void VisitSlots( _api_loadsave & table, Visitor && visit ) {
	visit( table.CreateDirectory );
	visit( table.ChangeDirectory );
	visit( table.DeleteDirectory );
	visit( table.Write );
	visit( table.WriteSaveGame );
	visit( table.Read );
	visit( table.ReadSaveGame );
	visit( table.DeleteFile );
	visit( table.DeleteAllFiles );
	visit( table.GetDirectory );
	visit( table.IsMyFileFit );
	visit( table.SetErrorCallBack );
	visit( table.SetCompleteCallBack );
	visit( table.GetLastCommand );
	visit( table.GetLastAction );
	visit( table.GetError );
	visit( table.GetStatus );
	visit( table.GetReadBuffer );
	visit( table.DestroyReadBuffer );
	visit( table.SetWorkingMemoryCard );
	visit( table.GetPortActuel );
	visit( table.GetSlotActuel );
	visit( table.TransferIcons );
	visit( table.FormatCard );
	visit( table.GetCardStatus );
	visit( table.GetPort1CardInfoBuffer );
	visit( table.GetPort2CardInfoBuffer );
	visit( table.GetPort1ActiveMemoryCard );
	visit( table.GetPort2ActiveMemoryCard );
	visit( table.GetFileDescriptor );
	visit( table.GetProductCode );
	visit( table.GoToMemCardManager );
	visit( table.SetCommentGC );
	visit( table.GetWorkingMemoryCardName );
	visit( table.GetTempBuffer );
	visit( table.DestroyTempBuffer );
	visit( table.GetFreeMem );
	visit( table.EnableReset );
}

template< class Visitor >
constexpr void VisitSlots( _api_reglib & table, Visitor && visit ) {
	visit( table.RegisterLib );
	visit( table.UnRegisterLib );
	for ( auto & slot : table.Pad ) {
		visit( slot );
	}
}

template< class Visitor >
constexpr void VisitSlots( _api_spline & table, Visitor && visit ) {
	visit( table.InitSplineAPI );
	visit( table.GetNbSplines );
	visit( table.GetIndex );
	visit( table.GetID );
	visit( table.GetPosition );
	visit( table.GetSegmentPosition );
	visit( table.GetNbSegments );
	visit( table.Segment2GlobalFactor );
	visit( table.Global2SegmentFactor );
	visit( table.GetTangent );
	visit( table.GetLength );
	visit( table.GetDistance );
	visit( table.GetSegmentLength );
	visit( table.MoveDistance );
	visit( table.GetType );
	visit( table.GetNearest );
	for ( auto & slot : table.Pad ) {
		visit( slot );
	}
}

#endif
