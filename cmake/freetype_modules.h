/*
 * The FreeType modules of the web page build, in place of FreeType's own
 * list (include/freetype/config/ftmodule.h): the drivers of the font files a
 * page has (TrueType, and CFF for the OpenType one), what they need, and the
 * monochrome rasteriser. Drivers of other formats, the auto-hinter (every
 * face a page has carries hints of its own, which FreeType uses first) and
 * renderers our text does not use are left out, so they are not linked into
 * the pages. The anti-aliasing renderer stays: FreeType offers a monochrome
 * outline to it first, as on the desktop, and it declines.
 */

FT_USE_MODULE(FT_Driver_ClassRec, tt_driver_class)
FT_USE_MODULE(FT_Driver_ClassRec, cff_driver_class)
FT_USE_MODULE(FT_Module_Class, psaux_module_class)
FT_USE_MODULE(FT_Module_Class, psnames_module_class)
FT_USE_MODULE(FT_Module_Class, pshinter_module_class)
FT_USE_MODULE(FT_Module_Class, sfnt_module_class)
FT_USE_MODULE(FT_Renderer_Class, ft_smooth_renderer_class)
FT_USE_MODULE(FT_Renderer_Class, ft_raster1_renderer_class)

/* EOF */
